#pragma once

#include <QString>

class QLineEdit;

// Replaces an edit's text as an operator does: a click into it, Ctrl+A,
// then the text typed key by key (Backspace for the empty text), or pasted
// where it holds surrogates, which no single key can carry.
void Retype(QLineEdit *edit, const QString &text);
