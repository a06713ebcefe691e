#include "shell/ApplicationError.h"

#include "base/Failure.h"
#include "shell/MessageBoxes.h"

#include <exception>
#include <new>

QString errorLocation(QStringView procedure) {
    return QLatin1String("in Strumvane2021/08/31.") + procedure.toString() + u' ';
}

QString applicationErrorText(const QString& description, const QString& location,
                             qint32 stepNumber) {
    return description + QLatin1String("\r\n") + location + QLatin1String("at line ") +
           QString::number(stepNumber) + QLatin1String("\r\r") +
           QLatin1String("Please email screenshot of this message to ") +
           QLatin1String(supportEmailAddress);
}

void ShowApplicationError(MessageBoxes& boxes, const QString& description, const QString& location,
                          qint32 stepNumber) {
    boxes.applicationError(applicationErrorText(description, location, stepNumber));
}

Failure failureFromCurrentException() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure;
    } catch (const std::bad_alloc&) {
        return Failure::outOfMemory();
    } catch (const std::exception& e) {
        const QString what = QString::fromUtf8(e.what());
        return what.isEmpty() ? Failure::internalError() : Failure(51, what);
    } catch (...) {
        return Failure::internalError();
    }
}
