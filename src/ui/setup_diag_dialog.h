#pragma once
#include <QAbstractButton>
#include <QColor>
#include <QDialog>
#include <array>

#include "texts/setup_record.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace kvn {

class Prompts;
class Texts;

// A colour swatch: a filled box that opens the colour picker when pressed.
class ColourSwatch : public QAbstractButton {
  Q_OBJECT

 public:
  explicit ColourSwatch(QWidget* parent = nullptr);

  QColor Colour() const { return colour_; }
  void SetColour(const QColor& colour);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_ = Qt::black;
};

// Plot settings: colour and thickness of the speed curve and the rated-speed line, and which
// limit markers the plot draws, with their colours and thicknesses. Created once and reused;
// every opening presets from the settings, and only OK writes back.
class TSetup_diag : public QDialog {
  Q_OBJECT

 public:
  TSetup_diag(LocSetupRec& settings, const Texts& texts, Prompts& prompts,
              QWidget* parent = nullptr);

  // The plot-settings menu item: texts, preset, modal dialog, store on OK. Returns the result.
  int Run();

  // Any swatch pressed: the picker opens with the colour chosen last in this process (not the
  // swatch's); a confirmed choice fills the swatch.
  void shp_col_max_1MouseDown(ColourSwatch& swatch);

 private:
  // One plot line: optional switch, swatch and thickness list.
  struct LineControls {
    QCheckBox* marker = nullptr;  // null for the speed and rated-speed lines
    ColourSwatch* swatch = nullptr;
    QComboBox* thickness = nullptr;
  };

  void BuildControls();
  LineControls MakeLine(const QString& checkName, const QString& swatchName,
                        const QString& thicknessName);
  void ApplyTexts();
  void PresetFromSettings();
  void StoreSettings();

  LocSetupRec& settings_;
  const Texts& texts_;
  Prompts& prompts_;
  QColor lastPicked_ = Qt::black;

  LineControls speed_;
  LineControls rated_;
  std::array<LineControls, 5> max_;
  std::array<LineControls, 5> min_;
  QPushButton* cmd2_ok_ = nullptr;
  QPushButton* cmd2_cancel_ = nullptr;
};

}  // namespace kvn
