#include "ui/qt/text_views.h"

#include "ui/qt/units.h"

namespace korvanta::ui::qt {
namespace {

// The model keeps Windows line ends; Qt's editors keep "\n".
QString FromWindowsText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

std::string ToWindowsText(QString text) {
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return text.toStdString();
}

}  // namespace

TextBoxView::TextBoxView(ui::TextBox& box, QWidget* parent, RenderContext& context)
    : ControlView(box,
                  box.multi_line ? static_cast<QWidget*>(new QPlainTextEdit(parent))
                                 : static_cast<QWidget*>(new QLineEdit(parent)),
                  context),
      box_(box) {
  if (box.multi_line) {
    text_ = static_cast<QPlainTextEdit*>(widget());
    text_->setReadOnly(box.locked);
    text_->setTabChangesFocus(true);
    QObject::connect(text_, &QPlainTextEdit::textChanged, this, [this] {
      if (syncing()) return;
      std::string typed = ToWindowsText(text_->toPlainText());
      Act([&typed](ui::Control& c) { static_cast<ui::TextBox&>(c).UserType(typed); });
    });
    WatchMouse(text_->viewport(), true);
  } else {
    line_ = static_cast<QLineEdit*>(widget());
    line_->setReadOnly(box.locked);
    if (box.password_char) {
      line_->setEchoMode(QLineEdit::Password);
      line_->setStyleSheet(
          QStringLiteral("lineedit-password-character: %1")
              .arg(static_cast<int>(static_cast<unsigned char>(box.password_char))));
    }
    QObject::connect(line_, &QLineEdit::textEdited, this, [this](const QString& text) {
      std::string typed = text.toStdString();
      Act([&typed](ui::Control& c) { static_cast<ui::TextBox&>(c).UserType(typed); });
    });
    WatchMouse(line_, true);
  }
}

void TextBoxView::SyncCaption() {
  // Only a real change reaches the editor: resetting the same text would move the
  // cursor of someone typing.
  if (line_) {
    QString text = QString::fromStdString(box_.text());
    if (line_->text() != text) line_->setText(text);
  } else {
    QString text = FromWindowsText(box_.text());
    if (text_->toPlainText() != text) text_->setPlainText(text);
  }
}

void TextBoxView::SyncAppearance() {
  ControlView::SyncAppearance();
  const ui::Appearance& a = box_.appearance();
  // The box paints its own base; the widget fill would only show at the frame.
  widget()->setAutoFillBackground(false);
  if (line_) {
    line_->setFrame(a.border);
    line_->setAlignment(Horizontal(a.align));
  } else {
    text_->setFrameStyle(a.border ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
  }
}

ComboBoxView::ComboBoxView(ui::ComboBox& combo, QWidget* parent, RenderContext& context)
    : ControlView(combo, new QComboBox(parent), context),
      combo_(combo),
      widget_(static_cast<QComboBox*>(widget())) {
  widget_->setEditable(combo.editable);
  widget_->setInsertPolicy(QComboBox::NoInsert);
  widget_->setMaxVisibleItems(12);
  QObject::connect(widget_, &QComboBox::activated, this, [this](int index) {
    if (syncing() || index < 0 || index >= static_cast<int>(combo_.items().size())) return;
    std::string item = combo_.items()[static_cast<std::size_t>(index)];
    Act([&item](ui::Control& c) { static_cast<ui::ComboBox&>(c).UserPick(item); });
  });
  if (QLineEdit* edit = widget_->lineEdit()) {
    QObject::connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
      std::string typed = text.toStdString();
      Act([&typed](ui::Control& c) { static_cast<ui::ComboBox&>(c).UserType(typed); });
    });
  }
}

void ComboBoxView::SyncItems() {
  QStringList items;
  for (const std::string& item : combo_.items()) items << QString::fromStdString(item);
  widget_->clear();
  widget_->addItems(items);
  SyncCaption();
}

void ComboBoxView::SyncCaption() {
  QString text = QString::fromStdString(combo_.text());
  if (widget_->isEditable()) {
    if (widget_->currentText() != text) widget_->setEditText(text);
  } else {
    widget_->setCurrentIndex(widget_->findText(text, Qt::MatchExactly));
  }
}

void ComboBoxView::SyncValue() {
  int index = combo_.list_index();
  if (index >= 0) {
    widget_->setCurrentIndex(index);
  } else {
    SyncCaption();
  }
}

}  // namespace korvanta::ui::qt
