#pragma once
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>
#include <vector>

#include "texts/language_pack.h"
#include "texts/text_table.h"

namespace kvn::test {

// A translator's work on the DEVICE page, the status panel, the pages and the menu.
inline const std::vector<std::pair<const char*, const char*>>& GreekCaptions() {
  static const std::vector<std::pair<const char*, const char*>> captions = {
      {"tab_device", "ΣΥΣΚΕΥΗ"}, {"tab_measure", "ΜΕΤΡΗΣΗ"}, {"tab_output", "ΕΞΟΔΟΙ"},
      {"tab_diag", "ΔΙΑΓΝΩΣΤΙΚΑ"}, {"tab_proc_data", "ΤΙΜΕΣ"}, {"tab_sys_diag", "ΚΑΤΑΣΤΑΣΗ"},
      {"tab_report", "ΑΝΑΦΟΡΑ"}, {"tab_log", "ΣΥΜΒΑΝΤΑ"},
      {"lbl_config_usr", "Ρυθμίσεις - χρήστης"}, {"lbl_usr_tag1", "Ετικέτα θέσης"},
      {"lbl_usr_tag2", "Ετικέτα μηχανής"}, {"lbl_usr_tag3", "Ετικέτα συσκευής"},
      {"lbl_usr_comment", "Σχόλιο συσκευής"}, {"lbl_mod_addr", "Διεύθυνση MODBUS"},
      {"lbl_baud_485", "Ταχύτητα MODBUS"}, {"lbl_parity", "Ισοτιμία MODBUS"},
      {"lbl_term", "Τερματισμός γραμμής"}, {"lbl_crc_dev_usr", "CRC ρυθμίσεων χρήστη"},
      {"lbl_config_admin", "Ρυθμίσεις - διαχειριστής"}, {"lbl_adm_vstr", "Δομή ψηφοφορίας"},
      {"lbl_pass_admin", "Κωδικός - διαχειριστής"}, {"lbl_password", "Νέος κωδικός"},
      {"cmb_term", "Ανενεργό|Ενεργό"}, {"cmb_parity", "καμία|άρτια|περιττή"},
      {"chk_act_pass", "Ενεργοποίηση"},
      {"lbl_stat_caption", "Korvane™"}, {"lbl_lbl_curr_if", "Διεπαφή υπολογιστή"},
      {"lbl_lbl_acc_level", "Επίπεδο πρόσβασης"}, {"lbl_lbl_conn_stat", "Κατάσταση συσκευής"},
      {"lbl_lbl_serial_num", "Σειριακός αριθμός"}, {"lbl_lbl_tag_number", "Αριθμός ετικέτας"},
      {"cmd_read_param", "Ανάγνωση ρυθμίσεων"}, {"cmd_enter_prog", "Είσοδος σε προγραμματισμό"},
      {"cmd_save_prog", "Προγραμματισμός συσκευής"}, {"cmd_abort_prog", "Έξοδος από προγραμματισμό"},
      {"chk_off_line", "Χωρίς σύνδεση"}, {"men_file", "Αρχείο"}, {"men_perm", "Πρόσβαση"},
      {"men_settings", "Ρυθμίσεις"}, {"men_device", "Προεπιλογές"},
      {"main_form_caption", "Korvane - ρυθμίσεις συσκευής"},
  };
  return captions;
}

// Line of the first row with that key.
inline int LineOf(const char* key) {
  for (int i = 0; i < kTextRowCount; ++i)
    if (QLatin1String(TextTable[i].key) == QLatin1String(key)) return i;
  return -1;
}

inline QStringList ReadPackLines(const QString& path) {
  QFile file(path);
  QStringList lines;
  QString error;
  if (file.open(QIODevice::ReadOnly)) DecodePackLines(file.readAll(), &lines, &error);
  return lines;
}

inline bool WritePackLines(const QString& path, const QStringList& lines) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(EncodePackLines(lines)) > 0;
}

inline void Translate(QStringList& lines) {
  for (const auto& [key, text] : GreekCaptions()) lines[LineOf(key)] = QString::fromUtf8(text);
}

// The program looks for packs in its working directory: each test gets a scratch one.
class ScratchWorkingDirectory {
 public:
  ScratchWorkingDirectory() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
  ~ScratchWorkingDirectory() { QDir::setCurrent(previous_); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  QString previous_;
};

}  // namespace kvn::test
