#pragma once
#include <QString>
#include <memory>

#include "device_link/pause.h"
#include "device_link/register_image.h"
#include "parameters/value_codec.h"
#include "support/recording_prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "ui/main_form.h"

namespace kvn::test {

// A fresh program state and a main window built on it, prompts recorded. Steps of modules the
// test wants to observe are set before Start().
struct WindowUnderTest {
  Texts texts;
  LocSetupRec setup;
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  Codec codec{QLatin1Char('.'), *images};
  RecordingPrompts prompts;
  Pause pause;
  QString startupErrors;
  MainFormSteps steps;
  std::unique_ptr<TMain_Form> form;

  TMain_Form& Start() {
    form = std::make_unique<TMain_Form>(
        MainFormContext{texts, setup, *images, codec, prompts, pause, startupErrors, steps});
    return *form;
  }

  template <typename T = QWidget>
  T* Control(const char* name) const {
    return form->findChild<T*>(QString::fromLatin1(name));
  }
};

}  // namespace kvn::test
