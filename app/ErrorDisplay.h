#pragma once

#include <QString>
#include <exception>

// The text the error box shows for an error: the innermost non-empty message
// of a chain of nested errors, with a "." added when the last character's
// code lies above that of ".". Anything thrown that is not one of our errors
// counts as one with an empty message.
QString ErrorText(std::exception_ptr error);

// Shows the error in a modal critical message box owned by the active window
// and returns when the user dismisses it.
void ShowError(std::exception_ptr error, const QString& title);
