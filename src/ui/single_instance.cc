#include "ui/single_instance.h"

#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <filesystem>
#include <system_error>

namespace tessavar {
namespace {

// A request is the greeting, then the composition's path in the file
// system's own bytes, ended by a NUL (which no path holds).
constexpr char kGreeting[] = "TESSAVAR-OPEN 1\n";
constexpr char kTaken[] = "OK\n";
constexpr int kHashCharacters = 16;
constexpr int kRetryMilliseconds = 100;
constexpr char kSocketFileName[] = ".tessavar.socket";
// A socket's path must fit sockaddr_un.sun_path with its NUL.
constexpr qsizetype kMaxSocketPathBytes = 108;
// Longer than any path; a peer that sends more is not a second start.
constexpr qint64 kMaxRequestBytes = 64 * 1024;

QByteArray Request(const std::string& composition) {
  QByteArray request(kGreeting);
  request.append(composition.data(),
                 static_cast<qsizetype>(composition.size()));
  request.append('\0');
  return request;
}

}  // namespace

QString InstanceServerName(const std::string& program_directory) {
  std::error_code error;
  std::filesystem::path canonical =
      std::filesystem::weakly_canonical(program_directory, error);
  if (error) canonical = program_directory;
  canonical = canonical.lexically_normal();
  const QByteArray hash =
      QCryptographicHash::hash(
          QFile::encodeName(QString::fromStdString(canonical.string())),
          QCryptographicHash::Sha256)
          .toHex()
          .left(kHashCharacters);
  const QString name =
      QStringLiteral("tessavar-%1").arg(QString::fromLatin1(hash));
  // The user's private runtime folder, as the session sets it (never one
  // that depends on TMPDIR, which two starts need not share).
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
    return QDir(runtime).filePath(name + ".socket");
  }
  // Without one: the program directory itself, when the name fits a
  // socket address.
  const QString beside =
      QString::fromStdString((canonical / kSocketFileName).string());
  if (QFile::encodeName(beside).size() < kMaxSocketPathBytes) return beside;
  return QStringLiteral("%1-%2").arg(name).arg(::getuid());
}

bool HandOverToRunningProgram(const QString& server,
                              const std::string& composition, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeout_ms) {
    QLocalSocket socket;
    socket.connectToServer(server);
    if (!socket.waitForConnected(timeout_ms)) {
      // Not listening yet (or not any more): the program may be starting.
      QThread::msleep(kRetryMilliseconds);
      continue;
    }
    // Listening: it answers once its window is up, which may take as long
    // again on a busy machine.
    socket.write(Request(composition));
    QElapsedTimer answer_clock;
    answer_clock.start();
    QByteArray answer;
    while (!answer.contains('\n') && answer_clock.elapsed() < timeout_ms &&
           socket.waitForReadyRead(
               static_cast<int>(timeout_ms - answer_clock.elapsed()))) {
      answer += socket.readAll();
    }
    return answer == kTaken;
  }
  return false;
}

InstanceServer::InstanceServer(const QString& name, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(name);
  if (!server_->listen(name)) return;
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::listening() const { return server_->isListening(); }

void InstanceServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket] { ReadRequest(socket); });
    if (socket->bytesAvailable() > 0) ReadRequest(socket);
  }
}

void InstanceServer::ReadRequest(QLocalSocket* socket) {
  const QByteArray greeting(kGreeting);
  QByteArray bytes = socket->peek(kMaxRequestBytes + 1);
  const qsizetype end = bytes.indexOf('\0');
  if (!greeting.startsWith(bytes.left(greeting.size())) ||
      bytes.size() > kMaxRequestBytes) {
    socket->abort();
    return;
  }
  if (end < 0) return;  // the rest is on its way
  socket->read(end + 1);
  if (!bytes.startsWith(greeting) || (accepting && !accepting())) {
    socket->abort();
    return;
  }
  socket->write(kTaken);
  socket->flush();
  socket->disconnectFromServer();
  emit OpenRequested(
      bytes.mid(greeting.size(), end - greeting.size()).toStdString());
}

}  // namespace tessavar
