#pragma once
// TMMTimer: a periodic timer with the precision of a timer thread of its own
// whose OnTimer handler always runs on the thread that created it.

#include "platform/Types.h"

#include <QtCore/QObject>

#include <memory>

class TMMTimer : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
  Q_PROPERTY(uint Interval READ Interval WRITE SetInterval)

 public:
  explicit TMMTimer(QObject* owner = nullptr);
  ~TMMTimer() override;

  // False once a tick was not taken in time, until it is set True again.
  bool Enabled() const;
  void SetEnabled(bool value);

  quint32 Interval() const;
  void SetInterval(quint32 value);

  const TNotifyEvent& OnTimer() const;
  void SetOnTimer(TNotifyEvent handler);

  // How long a tick waits for the owner's thread, in milliseconds.
  quint32 ReplyTimeout() const;

 protected:
  // Fires the handler; runs on the creating thread.
  virtual void Timer();

 private:
  struct Run;
  struct Private;

  void UpdateTimer();
  void TakeTick();
  void ForgetFailedRun();
  void StopRun();

  std::unique_ptr<Private> d;
};
