// The loopback servers the window and version-check tests talk to; nothing leaves the machine.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QtTest>
#include <memory>

namespace velmor::testing {

// Answers every request with one canned response, or never answers when it is empty; records
// each connection and each request head.
class CannedServer {
 public:
  explicit CannedServer(QByteArray response, bool closeAfter = true)
      : response_(std::move(response)), closeAfter_(closeAfter) {
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { Accept(); });
    QVERIFY(server_.listen(QHostAddress::LocalHost));
  }

  quint16 Port() const { return server_.serverPort(); }
  QUrl Site() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(Port())); }
  int connections = 0;
  QList<QByteArray> requests;

 private:
  void Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      ++connections;
      auto buffer = std::make_shared<QByteArray>();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
        *buffer += socket->readAll();
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0) return;
        requests.append(buffer->left(end));
        buffer->clear();
        if (response_.isEmpty()) return;
        socket->write(response_);
        if (closeAfter_) socket->disconnectFromHost();
      });
    }
  }

  QTcpServer server_;
  QByteArray response_;
  bool closeAfter_;
};

// Accepts connections and closes them at once: a reachable probe address.
class ProbeServer {
 public:
  ProbeServer() {
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++connections;
        socket->close();
      }
    });
    QVERIFY(server_.listen(QHostAddress::LocalHost));
  }
  quint16 Port() const { return server_.serverPort(); }
  int connections = 0;

 private:
  QTcpServer server_;
};

}  // namespace velmor::testing
