#include "app/version_check.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <functional>
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
  manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);

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
  if (overLimit) result.ok = false;
  return result;
}

}  // namespace

// The worker thread: probe, fetch, judge, then hand the message to the owner.
class VersionCheckThread final : public QThread {
 public:
  using Deliver = std::function<void(const QString&)>;

  VersionCheckThread(VersionCheckSettings settings, std::atomic<bool>& connected, Deliver deliver)
      : settings_(std::move(settings)), connected_(connected), deliver_(std::move(deliver)) {}

  ~VersionCheckThread() override { Stop(); }

  // Ends the check at its next event and waits for the thread; nothing is delivered after.
  void Stop() {
    requestInterruption();
    quit();
    wait();
  }

 protected:
  void run() override {
    const std::optional<bool> reached = ProbeConnects(settings_);
    if (!reached) return;
    connected_.store(*reached);
    std::string fetched;
    if (*reached) {
      const FetchResult fetch = FetchVersionFile(settings_);
      if (fetch.stopped) return;
      if (fetch.ok)
        fetched = Utf8ToGbk(
            std::string_view(fetch.body.constData(), static_cast<size_t>(fetch.body.size())));
    }
    deliver_(QString::fromStdString(GbkToUtf8(JudgeVersionText(fetched))));
  }

 private:
  const VersionCheckSettings settings_;
  std::atomic<bool>& connected_;
  const Deliver deliver_;
};

TThreadNet::TThreadNet(QObject* parent, VersionCheckSettings settings)
    : QObject(parent), settings_(std::move(settings)) {}

// The thread is stopped before any member goes; a message it posted meanwhile is discarded
// with this object's pending events.
TThreadNet::~TThreadNet() {
  thread_.reset();
}

void TThreadNet::Start() {
  if (thread_) return;
  thread_ = std::make_unique<VersionCheckThread>(settings_, connected_, [this](const QString& m) {
    QMetaObject::invokeMethod(
        this, [this, m] { Deliver(m); }, Qt::QueuedConnection);
  });
  thread_->start();
}

void TThreadNet::Deliver(const QString& message) {
  done_ = true;
  emit Finished(message);
}

}  // namespace velmor
