#include "shell/ErrorTrap.h"

#include "base/Failure.h"

ErrorTrap::ErrorTrap(MessageBoxes& boxes, QString location)
    : m_boxes(boxes), m_location(std::move(location)) {}

void ErrorTrap::reportCurrentException() {
    const Failure failure = failureFromCurrentException();
    ++m_failureCount;
    ShowApplicationError(m_boxes, failure.description(), m_location, m_stepNumber);
}

void ErrorTrap::report(qint32 number, const Failure& failure) {
    begin(number);
    ++m_failureCount;
    ShowApplicationError(m_boxes, failure.description(), m_location, m_stepNumber);
}
