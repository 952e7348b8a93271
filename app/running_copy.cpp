#include "app/running_copy.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "platform/paths.h"

namespace {

constexpr quint32 kFormat = 1;
constexpr char kTaken = 'k';
constexpr int kWaitMs = 2000;

QString SocketPath() { return QString::fromStdString((platform::RunDirectory() / "Ovlix.socket").string()); }

}  // namespace

StartRequest RequestOfThisStart() {
  StartRequest request;
  QStringList args = QCoreApplication::arguments();
  // made absolute here: the running copy has a current folder of its own
  if (args.size() > 1 && !args[1].isEmpty()) request.file = QFileInfo(args[1]).absoluteFilePath();
  request.activationToken = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
  return request;
}

bool HandToRunningCopy(const StartRequest& request) {
  QLocalSocket socket;
  socket.connectToServer(SocketPath());
  if (!socket.waitForConnected(kWaitMs)) return false;
  QByteArray message;
  QDataStream out(&message, QIODevice::WriteOnly);
  out << kFormat << request.file << request.activationToken;
  socket.write(message);
  if (!socket.waitForBytesWritten(kWaitMs)) return false;
  while (socket.bytesAvailable() == 0)
    if (!socket.waitForReadyRead(kWaitMs)) return false;
  char answer = 0;
  return socket.getChar(&answer) && answer == kTaken;
}

TRunningCopy::TRunningCopy(std::function<void(const StartRequest&)> onRequest)
    : onRequest_(std::move(onRequest)), server_(std::make_unique<QLocalServer>()) {
  // Only this user's starts may ask.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QString path = SocketPath();
  QDir().mkpath(QFileInfo(path).path());
  // A socket left by a copy that crashed: the lock, held by this copy now,
  // says no other copy runs.
  QLocalServer::removeServer(path);
  if (!server_->listen(path)) return;
  connect(server_.get(), &QLocalServer::newConnection, this, [this] { Accept(); });
}

TRunningCopy::~TRunningCopy() = default;

bool TRunningCopy::Listening() const { return server_->isListening(); }

void TRunningCopy::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // a start that never finishes its message is not waited for
    QTimer::singleShot(kWaitMs, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      QDataStream in(socket);
      in.startTransaction();
      quint32 format = 0;
      StartRequest request;
      in >> format >> request.file >> request.activationToken;
      if (!in.commitTransaction()) return;  // the rest is still on its way
      socket->putChar(kTaken);
      socket->disconnectFromServer();
      if (format != kFormat) return;
      // not from inside the socket's handler: the request may open a modal window
      QTimer::singleShot(0, this, [this, request] { onRequest_(request); });
    });
  }
}
