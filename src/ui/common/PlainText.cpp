#include "ui/common/PlainText.h"

#include "platform/NameText.h"

#include <QLabel>
#include <QTextDocument>

QString ShownText(const std::string& bytes) {
    return QString::fromStdString(platform::ShownName(bytes));
}

QLabel* PlainLabel(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString PlainHint(const QString& text) {
    return text.isEmpty() ? text : Qt::convertFromPlainText(text);
}

QString MenuCaption(const std::string& bytes) {
    return ShownText(bytes).replace('&', "&&");
}
