#pragma once
// The program's message boxes, with the captions and buttons every window uses.

#include <QString>

class QWidget;

// The application's title as the caption of every box but the questions.
inline const QString ApplicationTitle = "Sonvera";

// Every message and error is also written to standard error, so that the session's log keeps
// what a box said after it was closed; LogMessage writes only there (nobody is there to answer).
void LogMessage(const QString& text);

// A plain message: the application's title, no icon, OK.
void ShowMessageBox(QWidget* parent, const QString& text);

// An error: the application's title, an error icon, the text with a full stop added.
void ShowErrorBox(QWidget* parent, const QString& text);

// A question captioned "Confirm" with Yes and No; true for Yes.
bool AskConfirm(QWidget* parent, const QString& text);
