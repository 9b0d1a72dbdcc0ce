// Background check whether the publisher offers a newer timetable than the built-in one.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "app/version_info.h"

namespace velmor {

// Where the check connects and how long it waits; the defaults are the program's own.
struct VersionCheckSettings {
  // Reachability of this host and port stands in for "the network is up".
  QString probeHost = QStringLiteral("www.qq.com");
  quint16 probePort = 80;
  // "/velmorver.txt" is fetched from below this site root.
  QUrl publisherSite = QUrl(QString::fromLatin1(kPublisherSite));
  // Limits each connection attempt (probe, then the HTTP connection).
  std::chrono::milliseconds connectTimeout{10000};
  // Limits the HTTP response, from the request sent to the last byte of the body.
  std::chrono::milliseconds readTimeout{10000};
  // A longer body is treated as unreachable: only ten bytes can ever be a version.
  qint64 maxBodyBytes = 64 * 1024;
};

// The three verdicts, as GBK.
std::string UpToDateMessage();
std::string NewVersionMessage(std::string_view fetchedGbk);
std::string UnreachableMessage();

// Turns the fetched version text (GBK, empty when the fetch failed) into the message, as GBK.
std::string JudgeVersionText(std::string_view fetchedGbk);

class VersionCheckThread;

// `TThreadNet`: runs the probe and the fetch once on its own thread and emits `Finished` on the
// thread that owns this object. Destroying it stops the check and waits for its thread, so no
// message arrives afterwards and nothing on the worker outlives it.
class TThreadNet : public QObject {
  Q_OBJECT

 public:
  explicit TThreadNet(QObject* parent = nullptr, VersionCheckSettings settings = {});
  ~TThreadNet() override;

  // Starts the check; a second call does nothing.
  void Start();

  // The connected flag: false until the probe has succeeded.
  bool Connected() const { return connected_.load(); }

  // True once `Finished` has been emitted.
  bool IsDone() const { return done_; }

 signals:
  // Emitted once, on the owner's thread, with the message for the version label.
  void Finished(const QString& message);

 private:
  void Deliver();

  VersionCheckSettings settings_;
  std::atomic<bool> connected_{false};
  bool done_ = false;
  std::unique_ptr<VersionCheckThread> thread_;
};

}  // namespace velmor
