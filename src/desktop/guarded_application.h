// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's application object, the last net for errors: the handlers catch what
// their calls into the core throw (run_guarded.h); an error that still escapes one reaches
// notify(), is shown in the standard error box through the platform, the rest of that handler is
// skipped, and the program goes on running instead of terminating.
#pragma once

#include <QApplication>

namespace orvale {

class Platform;

class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // The platform whose error box shows escaped errors; until one is set they go to stderr.
    void SetPlatform(Platform* platform) { platform_ = platform; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    Platform* platform_ = nullptr;
};

}  // namespace orvale
