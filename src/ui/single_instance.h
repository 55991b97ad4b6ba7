// One window per program directory. The program that holds the directory's
// lock listens on a local socket named after the directory; a second start
// on the same directory hands it the composition to open (if any) and
// ends, and the running window loads it and comes to the front.
#ifndef TESSAVAR_UI_SINGLE_INSTANCE_H_
#define TESSAVAR_UI_SINGLE_INSTANCE_H_

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace tessavar {

// How long a second start waits for the running program to take its
// command line.
inline constexpr int kHandOverMilliseconds = 5000;

// The socket of a program directory: in the user's private runtime folder
// ($XDG_RUNTIME_DIR), named by a hash of the directory's canonical path, so
// that programs on other directories never meet; without a runtime folder,
// ".tessavar.socket" in the program directory.
QString InstanceServerName(const std::string& program_directory);

// Hands the composition (an absolute path; empty for none) to the program
// listening on server: tries to connect until timeout_ms have passed (it
// may still be starting), then waits as long for its answer. True when
// that program took it.
bool HandOverToRunningProgram(const QString& server,
                              const std::string& composition,
                              int timeout_ms = kHandOverMilliseconds);

// The running program's side. Only the holder of the directory's lock may
// make one: a socket left by a killed program is replaced.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  explicit InstanceServer(const QString& name, QObject* parent = nullptr);
  bool listening() const;

  // Whether a request can still be taken; a window that is closing cannot,
  // and the second start is then not told that it was.
  std::function<bool()> accepting;

 signals:
  // A second start's command line: the composition to open, empty for
  // none.
  void OpenRequested(const std::string& composition);

 private:
  void Accept();
  void ReadRequest(QLocalSocket* socket);

  QLocalServer* server_ = nullptr;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_SINGLE_INSTANCE_H_
