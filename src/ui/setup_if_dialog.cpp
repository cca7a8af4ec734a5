#include "ui/setup_if_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "device_link/serial_link.h"
#include "operations/device_transaction.h"
#include "texts/texts.h"
#include "ui/com_scan_window.h"

namespace kvn {

namespace {

// The values USB fixes: 115200 baud, no parity, slave address 1.
constexpr int kUsbParity = 0;
constexpr int kUsbAddress = 1;
constexpr int kMaxAddress = 254;

// The COM name of a list item; its text may carry why the port cannot be opened.
constexpr int kComNameRole = Qt::UserRole + 1;

constexpr std::array<const char*, 3> kParityNames = {"none", "odd", "even"};

// The captions this dialog takes from the text table each time it opens.
constexpr std::array<const char*, 8> kCaptionKeys = {
    "lbl1_pc_com", "lbl1_baud", "lbl1_parity", "lbl1_addr",
    "chk1_usb_conn", "cmd1_ok", "cmd1_cancel", "cmd1_rescan"};

// What the engineer needs to tell adapters apart: the device behind the name and, for USB
// adapters, their description and serial number.
QString DescribePort(const PortMap::Entry& entry) {
  QString text = entry.target;
  QStringList usb;
  if (!entry.description.isEmpty()) usb << entry.description;
  if (!entry.serialNumber.isEmpty()) usb << QStringLiteral("S/N ") + entry.serialNumber;
  if (!usb.isEmpty()) text += QLatin1Char('\n') + usb.join(QStringLiteral(" \u00B7 "));
  return text;
}

// A refused port's item says why at length: the open list shows all of it, the closed box as
// much as fits, ending in an ellipsis (the device line below repeats it whole).
class ElidingComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect text = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, text.width());
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
  }
};

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace

TSetup_if::TSetup_if(InterfaceSettings& settings, SerialLink& link, Tcom_scan& scanWindow,
                     const Texts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings),
      link_(link),
      scanWindow_(scanWindow),
      texts_(texts) {
  setObjectName(QStringLiteral("TSetup_if"));
  BuildControls();
}

void TSetup_if::BuildControls() {
  lbl1_pc_com_ = Named(new QLabel(this), "lbl1_pc_com");
  cmb1_com_num_ = Named(new ElidingComboBox(this), "cmb1_com_num");
  cmd1_rescan_ = Named(new QPushButton(this), "cmd1_rescan");
  lbl1_port_device_ = Named(new QLabel(this), "lbl1_port_device");
  chk1_usb_conn_ = Named(new QCheckBox(this), "chk1_usb_conn");
  lbl1_baud_ = Named(new QLabel(this), "lbl1_baud");
  cmb1_baud_ = Named(new QComboBox(this), "cmb1_baud");
  lbl1_parity_ = Named(new QLabel(this), "lbl1_parity");
  cmb1_parity_ = Named(new QComboBox(this), "cmb1_parity");
  lbl1_addr_ = Named(new QLabel(this), "lbl1_addr");
  cmb1_addr_ = Named(new QComboBox(this), "cmb1_addr");
  cmd1_ok_ = Named(new QPushButton(this), "cmd1_ok");
  cmd1_cancel_ = Named(new QPushButton(this), "cmd1_cancel");

  for (const int baud : kBaudRates) cmb1_baud_->addItem(QString::number(baud));
  for (const char* name : kParityNames) cmb1_parity_->addItem(QLatin1String(name));
  cmb1_com_num_->setMinimumWidth(140);
  // The closed box keeps its width whatever a refused port's item says; the list opens wide.
  cmb1_com_num_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cmb1_com_num_->setMinimumContentsLength(6);  // "COM50"
  cmb1_addr_->setMaxVisibleItems(16);

  lbl1_port_device_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lbl1_port_device_->setMinimumHeight(2 * fontMetrics().height());
  lbl1_port_device_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette dim = lbl1_port_device_->palette();
  dim.setColor(QPalette::WindowText, dim.color(QPalette::PlaceholderText));
  lbl1_port_device_->setPalette(dim);

  for (QLabel* label : {lbl1_pc_com_, lbl1_baud_, lbl1_parity_, lbl1_addr_})
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lbl1_pc_com_->setBuddy(cmb1_com_num_);
  lbl1_baud_->setBuddy(cmb1_baud_);
  lbl1_parity_->setBuddy(cmb1_parity_);
  lbl1_addr_->setBuddy(cmb1_addr_);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(8);
  grid->setColumnStretch(1, 1);
  grid->addWidget(lbl1_pc_com_, 0, 0);
  grid->addWidget(cmb1_com_num_, 0, 1);
  grid->addWidget(cmd1_rescan_, 0, 2);
  grid->addWidget(lbl1_port_device_, 1, 1, 1, 2);
  grid->addWidget(chk1_usb_conn_, 2, 1, 1, 2);
  grid->addWidget(lbl1_baud_, 3, 0);
  grid->addWidget(cmb1_baud_, 3, 1);
  grid->addWidget(lbl1_parity_, 4, 0);
  grid->addWidget(cmb1_parity_, 4, 1);
  grid->addWidget(lbl1_addr_, 5, 0);
  grid->addWidget(cmb1_addr_, 5, 1);

  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  cmd1_ok_->setDefault(true);
  cmd1_cancel_->setAutoDefault(false);
  cmd1_rescan_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd1_ok_);
  buttons->addWidget(cmd1_cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setSpacing(12);
  layout->addLayout(grid);
  layout->addWidget(rule);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cmd1_ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmd1_cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmd1_rescan_, &QPushButton::clicked, this, &TSetup_if::cmb1_com_numEnter);
  connect(chk1_usb_conn_, &QCheckBox::clicked, this, &TSetup_if::chk1_usb_connClick);
  connect(cmb1_com_num_, &QComboBox::currentIndexChanged, this, &TSetup_if::ShowPortDevice);
}

int TSetup_if::Run(const SetupIfHooks& hooks) {
  if (hooks.stopTimer) hooks.stopTimer();
  // The probe has to be able to open our own port too.
  link_.Close();
  ScanPorts(true);
  FillComList();
  if (cmb1_addr_->count() == 0) {
    for (int addr = 1; addr <= kMaxAddress; ++addr) cmb1_addr_->addItem(QString::number(addr));
  }
  ApplyTexts();
  PresetFromSettings();

  const int result = exec();
  if (result == QDialog::Accepted) StoreSettings();

  if (hooks.connect) hooks.connect();
  if (hooks.startTimer) hooks.startTimer();
  return result;
}

void TSetup_if::ScanPorts(bool showIndicator) {
  const Hourglass hourglass;  // while the thread is busy probing ports
  if (showIndicator) {
    const ScanIndicator indicator = scanWindow_.Indicator();
    link_.ScanPorts(&indicator);
  } else {
    link_.ScanPorts();
  }
}

void TSetup_if::FillComList() {
  cmb1_com_num_->clear();
  const std::vector<PortMap::Entry>& entries = link_.Ports().Entries();
  for (int n = 1; n <= kComPortCount; ++n) {
    const QString name = QStringLiteral("COM%1").arg(n);
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const PortMap::Entry& e) { return e.comName == name; });
    // An unplugged device keeps its number: listed greyed, so the engineer sees the name is
    // taken, and a saved choice of it survives OK until the device is back.
    const bool absent = entry != entries.end() && !entry->present;
    // A port that is there but refused (group permission, another program) is listed with the
    // reason, so the engineer knows what to do instead of finding it missing.
    const QString refusal = RefusalText(link_.PortStates()[static_cast<size_t>(n - 1)]);
    if (!link_.PortPresent()[static_cast<size_t>(n - 1)] && !absent && refusal.isEmpty()) continue;
    QString device = entry != entries.end() ? DescribePort(*entry) : QString();
    if (absent) device += QLatin1Char('\n') + tr("absent");
    if (!refusal.isEmpty()) device += QLatin1Char('\n') + refusal;
    cmb1_com_num_->addItem(refusal.isEmpty() ? name : name + QStringLiteral(" \u2014 ") + refusal, device);
    const int row = cmb1_com_num_->count() - 1;
    cmb1_com_num_->setItemData(row, name, kComNameRole);
    cmb1_com_num_->setItemData(row, device, Qt::ToolTipRole);
    if (auto* model = qobject_cast<QStandardItemModel*>(cmb1_com_num_->model()); model && absent)
      model->item(row)->setEnabled(false);
  }
  // Exactly the saved name or nothing: a vanished port must not silently become another one.
  cmb1_com_num_->setCurrentIndex(cmb1_com_num_->findData(settings_.com_num, kComNameRole));
  cmb1_com_num_->view()->setMinimumWidth(cmb1_com_num_->view()->sizeHintForColumn(0));
  ShowPortDevice();
}

void TSetup_if::ShowPortDevice() {
  lbl1_port_device_->setText(cmb1_com_num_->currentData().toString());
}

void TSetup_if::ApplyTexts() {
  setWindowTitle(texts_.GetTextByKey(QStringLiteral("if_setup_caption")));
  for (const char* key : kCaptionKeys) {
    const QString text = texts_.GetTextByKey(QLatin1String(key));
    QWidget* control = findChild<QWidget*>(QLatin1String(key));
    if (auto* label = qobject_cast<QLabel*>(control)) label->setText(text);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(text);
  }
}

void TSetup_if::PresetFromSettings() {
  cmb1_addr_->setCurrentIndex(settings_.addr - 1);
  cmb1_parity_->setCurrentIndex(settings_.parity);
  chk1_usb_conn_->setChecked(settings_.usb);
  cmb1_baud_->setCurrentIndex(settings_.baud);
  set_enabled();
}

void TSetup_if::StoreSettings() {
  settings_.usb = chk1_usb_conn_->isChecked();
  if (settings_.usb) {
    settings_.parity = kUsbParity;
    settings_.baud = kUsbBaudIndex;
    settings_.addr = kUsbAddress;
  } else {
    settings_.parity = cmb1_parity_->currentIndex();
    settings_.addr = cmb1_addr_->currentIndex() + 1;
    settings_.baud = cmb1_baud_->currentIndex();
  }
  settings_.com_num = cmb1_com_num_->currentData(kComNameRole).toString();
}

void TSetup_if::cmb1_com_numEnter() {
  ScanPorts(false);
  FillComList();
}

void TSetup_if::chk1_usb_connClick() { set_enabled(); }

void TSetup_if::set_enabled() {
  const bool lineSettingsFree = !chk1_usb_conn_->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{
           lbl1_baud_, cmb1_baud_, lbl1_parity_, cmb1_parity_, lbl1_addr_, cmb1_addr_})
    control->setEnabled(lineSettingsFree);
}

}  // namespace kvn
