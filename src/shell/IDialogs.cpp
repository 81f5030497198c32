#include "shell/IDialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <bit>
#include <cmath>
#include <memory>

#include "shell/Main.h"
#include "widgets/message_facade.h"

namespace nuvo::shell {

namespace {

struct ButtonKind {
  const char* name;
  const char* english;
  const char* slovene;
  int result;
};

const ButtonKind kKinds[] = {
    {"Yes", "&Yes", "&Da", mrYes},
    {"No", "&No", "&Ne", mrNo},
    {"OK", "&OK", "&OK", mrOk},
    {"Cancel", "&Cancel", "&Prekliči", mrCancel},
    {"Abort", "&Abort", "Pre&kini", mrAbort},
    {"Retry", "&Repeat", "Po&novi", mrRetry},
    {"Ignore", "&Ignore", "Prez&ri", mrIgnore},
    {"All", "A&ll", "&Vse", mrAll},
    {"Help", "&Help", "Po&moč", mrNone},
    {"Popravi", "&Edit", "&Popravi", mrRetry},
};

int firstIn(TMsgDlgButtons buttons, std::initializer_list<unsigned> order) {
  for (unsigned kind : order)
    if (buttons & kind) return std::countr_zero(kind);
  return -1;
}

// a * b / c rounded to the nearest integer.
int mulDiv(int a, int b, int c) { return static_cast<int>(std::lround(double(a) * b / c)); }

}  // namespace

QList<DialogButton> dialogButtons(TMsgDlgButtons buttons, bool slovene) {
  const int defaultKind = firstIn(buttons, {mbOK, mbYes, mbRetry});
  const int cancelKind = firstIn(buttons, {mbCancel, mbNo, mbIgnore, mbOK});
  QList<DialogButton> result;
  for (int bit = 0; bit < 10; ++bit) {
    if (!(buttons & (1u << bit))) continue;
    const ButtonKind& kind = kKinds[bit];
    result << DialogButton{QString::fromLatin1(kind.name), QString::fromUtf8(slovene ? kind.slovene : kind.english),
                           kind.result, bit == defaultKind, bit == cancelKind};
  }
  return result;
}

DialogLayout dialogLayout(int cx, int cy, int textWidth, int textHeight, bool hasIcon, int buttonCount) {
  DialogLayout l;
  l.margin = mulDiv(8, cx, 4);
  l.vMargin = mulDiv(8, cy, 8);
  const int hSpacing = mulDiv(10, cx, 4);
  l.vSpacing = mulDiv(10, cy, 8);
  l.buttonWidth = mulDiv(50, cx, 4);
  l.buttonHeight = mulDiv(14, cy, 8);
  l.buttonSpacing = mulDiv(4, cx, 4);
  int iconTextWidth = textWidth;
  int iconTextHeight = textHeight;
  if (hasIcon) {
    iconTextWidth += 32 + hSpacing;
    iconTextHeight = std::max(iconTextHeight, 32);
  }
  const int groupWidth = buttonCount > 0 ? buttonCount * l.buttonWidth + (buttonCount - 1) * l.buttonSpacing : 0;
  l.clientWidth = std::max(iconTextWidth, groupWidth) + 2 * l.margin;
  l.clientHeight = iconTextHeight + l.buttonHeight + l.vSpacing + 2 * l.vMargin;
  l.textLeft = iconTextWidth - textWidth + l.margin;
  l.buttonsTop = iconTextHeight + l.vMargin + l.vSpacing;
  l.firstButtonLeft = (l.clientWidth - groupWidth) / 2;
  return l;
}

}  // namespace nuvo::shell

namespace {

QString dialogCaption() {
  static const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return caption;
}

QStyle::StandardPixmap iconOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning: return QStyle::SP_MessageBoxWarning;
    case TMsgDlgType::mtError: return QStyle::SP_MessageBoxCritical;
    case TMsgDlgType::mtInformation: return QStyle::SP_MessageBoxInformation;
    case TMsgDlgType::mtConfirmation: return QStyle::SP_MessageBoxQuestion;
    case TMsgDlgType::mtCustom: break;
  }
  return QStyle::SP_CustomBase;
}

nuvo::MessageKind kindOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning: return nuvo::MessageKind::Warning;
    case TMsgDlgType::mtError: return nuvo::MessageKind::Error;
    case TMsgDlgType::mtConfirmation: return nuvo::MessageKind::Question;
    default: return nuvo::MessageKind::Information;
  }
}

// A scripted answer as the result of one of the dialog's buttons; an answer the set does not
// offer counts as the close box.
int resultOf(nuvo::MessageAnswer answer, TMsgDlgButtons buttons) {
  switch (answer) {
    case nuvo::MessageAnswer::Yes: return buttons & mbYes ? mrYes : mrCancel;
    case nuvo::MessageAnswer::No: return buttons & mbNo ? mrNo : mrCancel;
    case nuvo::MessageAnswer::Ok: return buttons & mbOK ? mrOk : (buttons & mbYes ? mrYes : mrCancel);
    case nuvo::MessageAnswer::Cancel: return mrCancel;
  }
  return mrCancel;
}

}  // namespace

TMessageForm::TMessageForm(QWidget* parent) : QDialog(parent) {}

void TMessageForm::reject() { done(mrCancel); }

void TMessageForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (cancelResult >= 0) done(cancelResult);
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

TMessageForm* BuildMessageDialog(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
  auto* form = new TMessageForm;
  const QFontMetrics metrics(form->font());
  const QRect letters = metrics.boundingRect(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const int cx = letters.width() / 52;
  const int cy = letters.height();
  const QScreen* screen = QApplication::primaryScreen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(1920, 1080);
  const QRect text = metrics.boundingRect(QRect(0, 0, screenSize.width() / 2, 0), Qt::TextWordWrap, msg);
  const bool hasIcon = type != TMsgDlgType::mtCustom;
  const bool slovene = fmMain() && fmMain()->slovene();
  const QList<nuvo::shell::DialogButton> plan = nuvo::shell::dialogButtons(buttons, slovene);
  const auto layout = nuvo::shell::dialogLayout(cx, cy, text.width(), text.height(), hasIcon, int(plan.size()));

  form->setFixedSize(layout.clientWidth, layout.clientHeight);
  form->move((screenSize.width() - form->width()) / 2, (screenSize.height() - form->height()) / 2);
  form->setWindowTitle(dialogCaption());
  if (hasIcon) {
    auto* image = new QLabel(form);
    image->setObjectName("Image");
    image->setPixmap(form->style()->standardIcon(iconOf(type)).pixmap(32, 32));
    image->setGeometry(layout.margin, layout.vMargin, 32, 32);
  }
  auto* message = new QLabel(msg, form);
  message->setObjectName("Message");
  message->setWordWrap(true);
  message->setGeometry(layout.textLeft, layout.vMargin, text.width(), text.height());

  int x = layout.firstButtonLeft;
  for (const auto& kind : plan) {
    auto* button = new QPushButton(kind.caption, form);
    button->setObjectName(kind.name);
    button->setAutoDefault(false);
    button->setDefault(kind.isDefault);
    button->setGeometry(x, layout.buttonsTop, layout.buttonWidth, layout.buttonHeight);
    x += layout.buttonWidth + layout.buttonSpacing;
    if (kind.isCancel) form->cancelResult = kind.result;
    // Help has no help system to ask here; it never closes the window.
    if (kind.result != mrNone)
      QObject::connect(button, &QPushButton::clicked, form, [form, result = kind.result] { form->done(result); });
  }
  return form;
}

int MessageDialogPos(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y) {
  if (const auto answer = nuvo::scriptedAnswer({kindOf(type), dialogCaption(), msg}))
    return resultOf(*answer, buttons);
  std::unique_ptr<TMessageForm> form(BuildMessageDialog(msg, type, buttons));
  form->setWindowFlags(form->windowFlags() | Qt::WindowStaysOnTopHint | Qt::Tool);
  form->setProperty("helpContext", helpCtx);
  if (x >= 0) form->move(x, form->y());
  if (y >= 0) form->move(form->x(), y);
  return nuvo::execModal(*form);
}

int MessageDialog(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
  return MessageDialogPos(msg, type, buttons, helpCtx, -1, -1);
}
