#include "texts/about_text.h"

namespace kvn {

QString AboutText() {
  // One literal per paragraph; "||" starts the next paragraph after an empty line.
  static constexpr char kText[] =
      "This software application is developed for configuration of Korvane devices. It is designed to be user-friendly and accessible. Keep in mind that Korvane is a safety device, and should be handled as specified in the manuals."
      " Usage of this software in a manner not specified by the manufacturer might invalidate certifications of your device. Therefore, the manuals must be read completely, carefully and all safety instructions must be followed."
      "||Operating personnel is assumed to have the necessary technical training and proven competence to enable them to configure and work with the product correctly and safely. Contact your supplier for additional training and support."
      "||In case of unsafe, inexpert or irregular use, the manufacturer will decline any liability or warranty claims.||This software may be updated from time to time. Please register your device at the manufacturer’s website to receive important notices."
      " For the latest version of this software and other information about this product, please contact your supplier or visit the website.||© Korvane. All rights reserved.";
  return QString::fromUtf8(kText);
}

}  // namespace kvn
