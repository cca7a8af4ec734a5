#include "operations/configuration_file.h"

#include "device_link/register_image.h"
#include "operations/connection.h"
#include "operations/poll_state.h"
#include "parameters/config_file.h"
#include "parameters/file_dialogs.h"
#include "parameters/parameter_view.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/text_record.h"
#include "texts/texts.h"

namespace kvn {
namespace {

enum Msg {
  kMsgSetNotValid = 53,  // "Current configuration set is not valid."
  kMsgSaved = 54,
  kMsgInvalid = 55,      // "Configuration file invalid."
  kMsgRestored = 56,
  kMsgSaveTitle = 69,
  kMsgKvnFile = 70,      // "KVN Config file"
  kMsgLoadTitle = 71,
};

const QString kExtension = QStringLiteral("kvn");

}  // namespace

void ConfigurationFile::men_file_save_cfgClick() {
  if (!s_.setup.setup_loaded) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgSetNotValid));
    return;
  }
  for (const BlockDescriptor& b : BlockTable)
    if (IsStoredBlock(b) && !s_.form.EntriesComplete(b)) return;
  if (SaveConfiguration() == 0) s_.prompts.ShowInfo(s_.texts.GetMessageText(kMsgSaved));
}

int ConfigurationFile::SaveConfiguration() {
  const QString path = AskSaveFileName(s_.prompts, s_.texts.GetMessageText(kMsgKvnFile),
                                       s_.texts.GetMessageText(kMsgSaveTitle), kExtension);
  // An existing file is replaced only on the engineer's word, as every other save asks.
  if (path.isEmpty() || !ConfirmOverwrite(s_.prompts, s_.texts, path)) return -1;
  return WriteTextRecord(path, ConfigurationText(s_.images.EditImage), s_.prompts);
}

QString ConfigurationFile::AskLoadFileName() { return AskLoadFileName(s_.texts.GetMessageText(kMsgLoadTitle)); }

QString ConfigurationFile::AskLoadFileName(const QString& title) {
  return AskOpenFileName(s_.prompts, s_.texts.GetMessageText(kMsgKvnFile) + QStringLiteral(" (*.kvn)|*.kvn"), title);
}

QString ConfigurationFile::ReadRecord(const QString& path) {
  const QString text = ReadTextRecord(path, s_.prompts);
  if (text.isEmpty()) s_.prompts.ShowError(s_.texts.GetMessageText(kMsgInvalid));
  return text;
}

bool ConfigurationFile::ReadInto(const QString& path, RegisterImage& image) {
  const QString text = ReadRecord(path);
  if (text.isEmpty()) return false;
  if (ReadConfigurationText(text, image)) return true;
  s_.prompts.ShowError(s_.texts.GetMessageText(kMsgInvalid));
  return false;
}

bool ConfigurationFile::LoadConfiguration() {
  const QString path = AskLoadFileName();
  if (path.isEmpty()) return false;
  return LoadText(ReadRecord(path));
}

bool ConfigurationFile::LoadText(const QString& text) {
  if (text.isEmpty()) return false;
  RegisterImages& images = s_.images;
  images.VerifyImage = images.EditImage;  // the backup a failed load returns to
  const bool ok = ReadConfigurationText(text, images.EditImage);
  s_.form.ClearPassword();
  if (ok) {
    s_.prompts.ShowInfo(s_.texts.GetMessageText(kMsgRestored));
    return true;
  }
  s_.prompts.ShowError(s_.texts.GetMessageText(kMsgInvalid));
  images.EditImage = images.VerifyImage;
  return false;
}

void ConfigurationFile::men_file_load_cfgClick() { Loaded(LoadConfiguration()); }

void ConfigurationFile::LoadRecord(const QByteArray& bytes) {
  const QString text = DecodeTextRecord(bytes);
  if (text.isEmpty()) s_.prompts.ShowError(s_.texts.GetMessageText(kMsgInvalid));
  Loaded(LoadText(text));
}

void ConfigurationFile::Loaded(bool loaded) {
  if (loaded) {
    s_.setup.setup_loaded = true;
    s_.form.FillControls();
    s_.connection.UpdateModeDisplay();
  }
  s_.poll.ConfigBlocksPolled = false;
}

}  // namespace kvn
