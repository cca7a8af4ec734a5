#include "ui/window_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QTabWidget>

#include "parameters/entry_text.h"
#include "texts/about_text.h"
#include "texts/prompts.h"
#include "texts/texts.h"
#include "ui/accessibility.h"
#include "ui/main_form.h"
#include "ui/main_menu.h"
#include "ui/pages.h"

namespace kvn {

namespace {

constexpr int kInfoMarkGap = 30;
constexpr TextKind kLastKnownKind = TextKind::EventText;

template <typename T>
T* Find(const TMain_Form& form, const TextEntry& row) {
  return qobject_cast<T*>(FindControl(form, QString::fromUtf8(row.key), row.container));
}

QWidget* PageNamed(const QTabWidget& pages, const QString& key, int* index) {
  for (int i = 0; i < pages.count(); ++i) {
    if (pages.widget(i)->objectName() == key) {
      *index = i;
      return pages.widget(i);
    }
  }
  return nullptr;
}

QString RowDefault(const TextEntry& row) {
  return QString::fromUtf8(row.default_text) + QString::fromUtf8(row.extra_text);
}

void NotFound(Prompts& prompts, const char* what, const TextEntry& row) {
  prompts.ShowInfo(QString::fromLatin1(what) + QString::fromUtf8(row.key));
}

QString ComboItemsText(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items.join(QLatin1Char('|'));
}

// Items up to the first empty field; the selection becomes none.
void SetComboItems(QComboBox& combo, const QString& text) {
  combo.clear();
  QString rest = text;
  for (;;) {
    auto [field, remainder] = NextField(rest);
    if (field.isEmpty()) break;
    combo.addItem(field);
    rest = remainder;
  }
  combo.setCurrentIndex(-1);
}

QString CollectRow(const TMain_Form& form, const TextEntry& row, const QString& current,
                   Prompts& prompts) {
  const bool dialogRow = row.number != 0;
  switch (row.kind) {
    case TextKind::Label: {
      if (dialogRow)
        return QLatin1String(row.key) == QLatin1String("lbl3_about_text")
                   ? AboutText()
                   : QString::fromUtf8(row.default_text);
      if (auto* label = Find<QLabel>(form, row)) return TrimCaption(label->text());
      NotFound(prompts, "label not found: ", row);
      return current;
    }
    case TextKind::Button: {
      if (dialogRow) return QString::fromUtf8(row.default_text);
      if (auto* button = Find<QAbstractButton>(form, row)) return TrimCaption(button->text());
      NotFound(prompts, "button not found: ", row);
      return current;
    }
    case TextKind::CheckBox: {
      if (dialogRow) return QString::fromUtf8(row.default_text);
      if (auto* check = Find<QCheckBox>(form, row)) return TrimCaption(check->text());
      NotFound(prompts, "label not found: ", row);
      return current;
    }
    case TextKind::TabSheet: {
      int index = -1;
      if (PageNamed(*form.pg_ctrl1, QString::fromUtf8(row.key), &index))
        return TrimCaption(form.pg_ctrl1->tabText(index));
      return current;
    }
    case TextKind::MenuItem: {
      if (QAction* item = FindMenuItem(*form.men_main, QString::fromUtf8(row.key)))
        return item->text();
      NotFound(prompts, "menu not found: ", row);
      return current;
    }
    case TextKind::ComboItems: {
      if (auto* combo = Find<QComboBox>(form, row)) return ComboItemsText(*combo);
      NotFound(prompts, "combo not found: ", row);
      return current;
    }
    case TextKind::FormCaption:
      return dialogRow ? QString::fromUtf8(row.default_text) : TrimCaption(form.windowTitle());
    case TextKind::AppTitle: return ApplicationTitle();
    default: return RowDefault(row);
  }
}

void ApplyRow(TMain_Form& form, const TextEntry& row, const QString& text, Prompts& prompts) {
  const bool dialogRow = row.number != 0;
  switch (row.kind) {
    case TextKind::Label:
      if (dialogRow) return;
      if (auto* label = Find<QLabel>(form, row))
        label->setText(IndentedCaption(row, text));
      else
        NotFound(prompts, "label not found: ", row);
      return;
    case TextKind::Button:
      if (dialogRow) return;
      if (auto* button = Find<QAbstractButton>(form, row)) button->setText(text);
      else NotFound(prompts, "button not found: ", row);
      return;
    case TextKind::TabSheet: {
      int index = -1;
      if (PageNamed(*form.pg_ctrl1, QString::fromUtf8(row.key), &index))
        form.pg_ctrl1->setTabText(index, QLatin1Char(' ') + text + QLatin1Char(' '));
      return;
    }
    case TextKind::MenuItem:
      if (QAction* item = FindMenuItem(*form.men_main, QString::fromUtf8(row.key)))
        item->setText(text);
      else
        NotFound(prompts, "menu not found: ", row);
      return;
    case TextKind::ComboItems:
      if (auto* combo = Find<QComboBox>(form, row)) SetComboItems(*combo, text);
      else NotFound(prompts, "combo not found: ", row);
      return;
    case TextKind::CheckBox:
      if (dialogRow) return;
      if (auto* check = Find<QCheckBox>(form, row)) check->setText(text);
      else NotFound(prompts, "label not found: ", row);
      return;
    case TextKind::FormCaption:
      if (!dialogRow) form.setWindowTitle(QLatin1Char(' ') + text);
      return;
    case TextKind::AppTitle: SetApplicationTitle(text); return;
    case TextKind::ButtonHint:
      if (dialogRow) return;
      if (auto* button = Find<QAbstractButton>(form, row)) button->setToolTip(ExpandLines(text));
      else NotFound(prompts, "button not found: ", row);
      return;
    default: return;
  }
}

// The heading's width follows its new text, so its info mark is set beside it again.
void PlaceErrorCodesMark(TMain_Form& form) {
  QWidget* log = PageOfContainer(*form.pg_ctrl1, 9);
  if (log == nullptr) return;
  auto* heading = log->findChild<QLabel*>(QStringLiteral("lbl_error_codes"));
  auto* mark = log->findChild<QLabel*>(QStringLiteral("lbl_i_error_codes"));
  if (heading == nullptr || mark == nullptr) return;
  heading->resize(heading->sizeHint().width(), heading->height());
  mark->move(heading->x() + heading->width() + kInfoMarkGap, mark->y());
}

}  // namespace

void SetApplicationTitle(const QString& title) { QCoreApplication::setApplicationName(title); }

QString ApplicationTitle() { return QCoreApplication::applicationName(); }

QString TrimCaption(const QString& caption) { return TrimEntry(caption); }

void CollectTexts(const TMain_Form& form, Texts& texts, Prompts& prompts) {
  for (int i = 0; i < kTextRowCount; ++i) {
    const TextEntry& row = TextTable[i];
    if (static_cast<int>(row.kind) > static_cast<int>(kLastKnownKind)) continue;
    texts.CurrentTexts[i] = CollectRow(form, row, texts.CurrentTexts[i], prompts);
  }
}

void ApplyTexts(TMain_Form& form, const Texts& texts, Prompts& prompts) {
  for (int i = 0; i < kTextRowCount; ++i) {
    const TextEntry& row = TextTable[i];
    if (static_cast<int>(row.kind) > static_cast<int>(kLastKnownKind)) continue;
    ApplyRow(form, row, texts.CurrentTexts[i], prompts);
  }
  PlaceErrorCodesMark(form);
  RefreshAccessibleNames(form);
}

}  // namespace kvn
