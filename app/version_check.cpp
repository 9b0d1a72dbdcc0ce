#include "app/version_check.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "data/gbk_text.h"

namespace velmor {

std::string UpToDateMessage() {
  return G("当前已是最新版本，无需升级。");
}

std::string NewVersionMessage(std::string_view fetchedGbk) {
  return G("发现新版本:") + std::string(fetchedGbk) + G("，请及时升级。");
}

std::string UnreachableMessage() {
  return G("网络未连通，无法获取最新版本信息。");
}

std::string JudgeVersionText(std::string_view fetchedGbk) {
  constexpr std::string_view builtIn = kBuiltInVersion;
  if (fetchedGbk.size() != builtIn.size()) return UnreachableMessage();
  if (fetchedGbk == builtIn) return UpToDateMessage();
  return NewVersionMessage(fetchedGbk);
}

namespace {

bool IsValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString decoded = decoder.decode(bytes);
  return !decoder.hasError();
}

// One network step: waits in a local event loop until it is finished, its time is up or the
// owner stops the thread (QThread::quit ends every event loop of the thread, even one not yet
// entered).
class Step {
 public:
  explicit Step(std::chrono::milliseconds limit) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &loop_, [this] { Finish(); });
    timer_.start(limit);
  }

  void Finish() {
    done_ = true;
    loop_.quit();
  }

  // Restarts the time limit, for the next phase of the step.
  void Restart(std::chrono::milliseconds limit) { timer_.start(limit); }

  // False when the owner stopped the thread.
  bool Wait() {
    if (!done_) loop_.exec();
    timer_.stop();
    return !QThread::currentThread()->isInterruptionRequested();
  }

 private:
  QEventLoop loop_;
  QTimer timer_;
  bool done_ = false;
};

// True when a TCP connection to the probe address opens in time; nullopt when stopped.
std::optional<bool> ProbeConnects(const VersionCheckSettings& settings) {
  Step step(settings.connectTimeout);
  bool reached = false;
  QTcpSocket socket;
  socket.setProxy(QNetworkProxy::NoProxy);
  QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] {
    reached = true;
    step.Finish();
  });
  QObject::connect(&socket, &QTcpSocket::errorOccurred, &socket, [&] { step.Finish(); });
  socket.connectToHost(settings.probeHost, settings.probePort);
  const bool running = step.Wait();
  QObject::disconnect(&socket, nullptr, nullptr, nullptr);
  socket.abort();
  if (!running) return std::nullopt;
  return reached;
}

struct FetchResult {
  bool stopped = false;
  bool ok = false;
  QByteArray body;
};

// One GET of the version file; `ok` only for a 2xx answer with a body within the limit,
// received in time. Redirects are answers, not followed.
FetchResult FetchVersionFile(const VersionCheckSettings& settings) {
  FetchResult result;
  Step step(settings.connectTimeout);
  bool overLimit = false;
  QNetworkAccessManager manager;
  manager.setProxy(QNetworkProxy::NoProxy);

  QNetworkRequest request(settings.publisherSite.resolved(QUrl(QStringLiteral("/velmorver.txt"))));
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/html"));
  request.setHeader(QNetworkRequest::UserAgentHeader,
                    QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)"));
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);

  QNetworkReply* reply = manager.get(request);
  const auto take = [&] {
    result.body += reply->read(settings.maxBodyBytes + 1 - result.body.size());
    if (result.body.size() > settings.maxBodyBytes) {
      overLimit = true;
      step.Finish();
    }
  };
  QObject::connect(reply, &QNetworkReply::requestSent, reply,
                   [&] { step.Restart(settings.readTimeout); });
  QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
  QObject::connect(reply, &QNetworkReply::finished, reply, [&] {
    if (!overLimit) take();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.ok =
        !overLimit && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    step.Finish();
  });

  result.stopped = !step.Wait();
  QObject::disconnect(reply, nullptr, nullptr, nullptr);
  reply->abort();
  delete reply;
  return result;
}

}  // namespace

// The worker thread: probe, fetch and judge, then tell the owner that the message is ready.
class VersionCheckThread final : public QThread {
 public:
  VersionCheckThread(VersionCheckSettings settings, std::atomic<bool>& connected,
                     std::function<void()> ready)
      : settings_(std::move(settings)), connected_(connected), ready_(std::move(ready)) {}

  ~VersionCheckThread() override { Stop(); }

  // Ends the check at its next event and waits for the thread; nothing is announced after.
  void Stop() {
    requestInterruption();
    quit();
    wait();
    // QThread::wait synchronises through Qt's own futexes, which thread checkers cannot see;
    // taking the lock that run() releases last makes the end of the thread visible to them too.
    const std::lock_guard lock(mutex_);
  }

  // The message (GBK) once the check has run to its end.
  std::optional<std::string> Message() {
    const std::lock_guard lock(mutex_);
    return message_;
  }

 protected:
  void run() override {
    std::optional<std::string> message = Check();
    const std::lock_guard lock(mutex_);
    message_ = std::move(message);
    if (message_) ready_();
  }

 private:
  // Empty when the owner stopped the check.
  std::optional<std::string> Check() {
    const std::optional<bool> reached = ProbeConnects(settings_);
    if (!reached) return std::nullopt;
    connected_.store(*reached);
    std::string fetched;
    if (*reached) {
      const FetchResult fetch = FetchVersionFile(settings_);
      if (fetch.stopped) return std::nullopt;
      // A body that is not UTF-8 is a failed conversion: the fetched text stays empty.
      if (fetch.ok && IsValidUtf8(fetch.body)) {
        fetched = Utf8ToGbk(
            std::string_view(fetch.body.constData(), static_cast<size_t>(fetch.body.size())));
      }
    }
    return JudgeVersionText(fetched);
  }

  const VersionCheckSettings settings_;
  std::atomic<bool>& connected_;
  const std::function<void()> ready_;
  std::mutex mutex_;
  std::optional<std::string> message_;
};

TThreadNet::TThreadNet(QObject* parent, VersionCheckSettings settings)
    : QObject(parent), settings_(std::move(settings)) {}

// The thread is stopped before any member goes; an announcement it posted meanwhile is
// discarded with this object's pending events.
TThreadNet::~TThreadNet() {
  thread_.reset();
}

void TThreadNet::Start() {
  if (thread_) return;
  thread_ = std::make_unique<VersionCheckThread>(settings_, connected_, [this] {
    QMetaObject::invokeMethod(
        this, [this] { Deliver(); }, Qt::QueuedConnection);
  });
  thread_->start();
}

void TThreadNet::Deliver() {
  const std::optional<std::string> message = thread_->Message();
  if (!message || done_) return;
  done_ = true;
  emit Finished(QString::fromStdString(GbkToUtf8(*message)));
}

}  // namespace velmor
