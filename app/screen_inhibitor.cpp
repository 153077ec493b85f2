#include "app/screen_inhibitor.h"

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <cstdio>

#include "app/x11_screensaver.h"

namespace kelvane {
namespace {

// A service that has not answered by then counts as absent.
constexpr int kAnswerMs = 2000;
// The portal's and GNOME's flag for idle: the screensaver and blanking.
constexpr uint kInhibitIdle = 8;
const QString kReason = QStringLiteral("Playing a light-and-sound session");

const char* WayName(InhibitWay way) {
  switch (way) {
    case InhibitWay::Portal: return "portal";
    case InhibitWay::ScreenSaver: return "ScreenSaver";
    case InhibitWay::Gnome: return "GNOME";
    default: return "X11";
  }
}

QDBusMessage InhibitCall(InhibitWay way, const QString& window) {
  QDBusMessage call;
  switch (way) {
    case InhibitWay::Portal:
      call = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                            "org.freedesktop.portal.Inhibit", "Inhibit");
      call << window << kInhibitIdle << QVariantMap{{"reason", kReason}};
      break;
    case InhibitWay::ScreenSaver:
      call = QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                            "org.freedesktop.ScreenSaver", "Inhibit");
      call << QStringLiteral("Kelvane") << kReason;
      break;
    default:
      call = QDBusMessage::createMethodCall("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                            "org.gnome.SessionManager", "Inhibit");
      call << QStringLiteral("kelvane") << uint{0} << kReason << kInhibitIdle;
      break;
  }
  return call;
}

QDBusMessage ReleaseCall(InhibitWay way, const QVariant& token) {
  switch (way) {
    case InhibitWay::Portal:
      return QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", token.value<QDBusObjectPath>().path(),
                                            "org.freedesktop.portal.Request", "Close");
    case InhibitWay::ScreenSaver:
      return QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                            "org.freedesktop.ScreenSaver", "UnInhibit")
             << token;
    default:
      return QDBusMessage::createMethodCall("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                            "org.gnome.SessionManager", "Uninhibit")
             << token;
  }
}

}  // namespace

ScreenInhibitor::ScreenInhibitor(std::optional<QDBusConnection> bus, std::function<QString()> window, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), window_(std::move(window)) {}

ScreenInhibitor::~ScreenInhibitor() {
  wanted_ = false;
  if (held_ != Way::None) Release();
}

void ScreenInhibitor::SetWanted(bool wanted) {
  wanted_ = wanted;
  if (asking_) return;  // the answer decides
  if (wanted && held_ == Way::None) Ask(Way::Portal);
  if (!wanted && held_ != Way::None) Release();
}

void ScreenInhibitor::Ask(Way way) {
  if (way == Way::None) return GiveUp();
  if (way == Way::X11) {
    if (SuspendX11ScreenSaver(true)) return Hold(way, {});
    failures_ << "X11: not an X11 display with the screensaver extension";
    return GiveUp();
  }
  if (!bus_) {
    failures_ << "no session bus";
    return Ask(Way::X11);
  }
  asking_ = true;
  const auto* pending = new QDBusPendingCallWatcher(
      bus_->asyncCall(InhibitCall(way, window_ ? window_() : QString()), kAnswerMs), this);
  connect(pending, &QDBusPendingCallWatcher::finished, this, [this, way](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    Answered(way, call->reply());
  });
}

void ScreenInhibitor::Answered(Way way, const QDBusMessage& reply) {
  asking_ = false;
  if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
    return Hold(way, reply.arguments().first());
  failures_ << QString("%1: %2").arg(WayName(way), reply.errorMessage());
  if (wanted_)
    Ask(static_cast<Way>(static_cast<int>(way) + 1));
  else
    failures_.clear();
}

// Held now; if the wish changed while the service answered, let go at once.
void ScreenInhibitor::Hold(Way way, const QVariant& token) {
  held_ = way;
  token_ = token;
  failures_.clear();
  if (!wanted_) Release();
}

void ScreenInhibitor::Release() {
  if (held_ == Way::X11)
    SuspendX11ScreenSaver(false);
  else if (bus_)
    bus_->call(ReleaseCall(held_, token_), QDBus::NoBlock);
  held_ = Way::None;
  token_ = {};
}

void ScreenInhibitor::GiveUp() {
  if (!told_)
    std::fprintf(stderr, "kelvane: cannot keep the screen on while playing (%s)\n",
                 qPrintable(failures_.join("; ")));
  told_ = true;
  failures_.clear();
}

}  // namespace kelvane
