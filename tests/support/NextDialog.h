#pragma once
// Answering the program's own modal dialogs from a test: the answer runs once the next one is
// open.

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs `answer` on the next modal dialog once it is open. The watch ends with `owner`, if one
// is given, else once it has answered.
inline void AnswerNextDialog(std::function<void(QWidget*)> answer, QObject* owner = nullptr) {
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start(10);
}
