#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QXmlStreamReader>

// An XML document read into a tree, for tests that look into written files (MusicXML scores,
// MuseScore's own files): elements with their attributes, their text and their children.
struct XmlTree {
    QString name;
    QMap<QString, QString> attributes;
    QString text; // the element's own text, trimmed
    QList<XmlTree> children;

    // The first child named `child`, or an empty tree.
    XmlTree child(const QString& child) const {
        for (const XmlTree& c : children) {
            if (c.name == child)
                return c;
        }
        return {};
    }
    // Every child named `child`.
    QList<XmlTree> all(const QString& child) const {
        QList<XmlTree> found;
        for (const XmlTree& c : children) {
            if (c.name == child)
                found << c;
        }
        return found;
    }
    // The text of the element at `path` below this one ("root/root-step"); empty when missing.
    QString textAt(const QString& path) const {
        XmlTree at = *this;
        for (const QString& step : path.split(u'/'))
            at = at.child(step);
        return at.text;
    }
    bool has(const QString& child) const { return !this->child(child).name.isEmpty(); }

    // The document element of `xml`; an empty tree when it is not well-formed.
    static XmlTree parse(const QByteArray& xml) {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd() && !reader.isStartElement())
            reader.readNext();
        XmlTree root = element(reader);
        return reader.hasError() ? XmlTree() : root;
    }

private:
    static XmlTree element(QXmlStreamReader& reader) {
        XmlTree tree;
        tree.name = reader.name().toString();
        for (const QXmlStreamAttribute& a : reader.attributes())
            tree.attributes.insert(a.name().toString(), a.value().toString());
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement())
                tree.children << element(reader);
            else if (reader.isCharacters())
                tree.text += reader.text();
            else if (reader.isEndElement())
                break;
        }
        tree.text = tree.text.trimmed();
        return tree;
    }
};
