#include "ui/pages.h"

#include <QTabWidget>

namespace kvn {

void BuildPages(QTabWidget& pageControl) {
  for (const PageDescriptor& descriptor : kPages) {
    auto* page = new QWidget(&pageControl);
    page->setObjectName(QString::fromUtf8(descriptor.name));
    // The page joins the window before its controls are made, so their keyboard order is
    // chained within the main window.
    pageControl.addTab(page, QStringLiteral(" %1 ").arg(QString::fromUtf8(descriptor.caption)));
    descriptor.build(*page);
  }
}

QWidget* PageOfContainer(const QTabWidget& pageControl, int container) {
  for (const PageDescriptor& descriptor : kPages) {
    if (descriptor.container != container) continue;
    for (int i = 0; i < pageControl.count(); ++i) {
      QWidget* page = pageControl.widget(i);
      if (page->objectName() == QLatin1String(descriptor.name)) return page;
    }
  }
  return nullptr;
}

}  // namespace kvn
