#pragma once
// TCuteButton: the window's big push button ("はじめる", "おわる"). It is a
// focusable control with a caption, a click event, Space and Enter, drawn as
// a raised bevelled face.

#include "platform/Types.h"

#include <QtWidgets/QWidget>

class TCuteButton : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(uint Color READ Color WRITE SetColor)
  Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
  Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
  Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect)
  Q_PROPERTY(bool UseDisabledColor READ UseDisabledColor WRITE SetUseDisabledColor)
  Q_PROPERTY(bool EgnoreContClick READ EgnoreContClick WRITE SetEgnoreContClick)

 public:
  explicit TCuteButton(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  bool Flat() const { return flat_; }
  void SetFlat(bool flat);
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool show);
  bool UseDisabledColor() const { return useDisabledColor_; }
  void SetUseDisabledColor(bool use);
  bool EgnoreContClick() const { return egnoreContClick_; }
  void SetEgnoreContClick(bool ignore);

  // Runs OnClick, reporting whatever it throws.
  void Click();

  TNotifyEvent OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString caption_;
  TColor color_ = clBtnFace;
  TColor fontColor_ = clWindowText;
  int bevelWidth_ = 1;
  bool flat_ = false;
  bool showFocusRect_ = true;
  bool useDisabledColor_ = false;
  bool egnoreContClick_ = false;
  bool pressed_ = false;
  bool spaceDown_ = false;
};
