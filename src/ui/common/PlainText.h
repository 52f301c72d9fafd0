#pragma once
// Names of files, folders and devices are shown as the text they are: never read as markup
// (Qt takes a text that looks like HTML for rich text and loads the pictures it names), never
// as a menu's access key, and with a visible stand-in for bytes that are not UTF-8.

#include <QString>
#include <string>

class QLabel;

// The text of a name, a path or a message holding one.
QString ShownText(const std::string& bytes);

// Makes `label` show every text it is given as plain text; returns it.
QLabel* PlainLabel(QLabel* label);

// A tooltip that shows `text` as it is (tooltips take rich text whenever it looks like it).
QString PlainHint(const QString& text);

// A menu item's caption showing `bytes` as they are, an '&' included.
QString MenuCaption(const std::string& bytes);
