// SIGTERM, SIGHUP and SIGINT end the desktop program as File > Exit does.
// The handler only writes the signal's number into a pipe; the event loop
// reads it and emits Received, and the program closes its window through
// the normal exit path. A second such signal before the program has ended
// ends it at once, as the signal would without a handler.
#ifndef TESSAVAR_UI_EXIT_SIGNALS_H_
#define TESSAVAR_UI_EXIT_SIGNALS_H_

#include <QObject>

class QSocketNotifier;

namespace tessavar {

class ExitSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; one object per process.
  explicit ExitSignals(QObject* parent = nullptr);
  // Gives the signals back their default action.
  ~ExitSignals() override;
  ExitSignals(const ExitSignals&) = delete;
  ExitSignals& operator=(const ExitSignals&) = delete;

 signals:
  void Received(int signal_number);

 private:
  void ReadPipe();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_EXIT_SIGNALS_H_
