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
    // A tooltip takes its text for rich text exactly when Qt::mightBeRichText says so.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

QString MenuCaption(const std::string& bytes) {
    return ShownText(bytes).replace('&', "&&");
}
