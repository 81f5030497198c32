#pragma once
// Small pieces the tool's windows share when they wire their controls.

#include <QLineEdit>

#include "db/error.h"
#include "widgets/message_facade.h"

namespace nuvo::widgets {

// A command of a window run from a control: a database error ends it with the error's text shown.
template <typename T>
auto guarded(T* window, void (T::*call)()) {
  return [window, call] {
    try {
      (window->*call)();
    } catch (const nuvo::db::Error& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, window);
    }
  };
}

// What is typed into the edit becomes upper case, the caret staying where it was.
inline void upperCaseEdit(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const int cursor = edit->cursorPosition();
    edit->setText(text.toUpper());
    edit->setCursorPosition(cursor);
  });
}

}  // namespace nuvo::widgets
