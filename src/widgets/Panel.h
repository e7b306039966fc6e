#pragma once
// The standard panel: a coloured box with an optional raised bevel and a
// centred caption.

#include "platform/Types.h"

#include <QtWidgets/QWidget>

class TPanel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

 public:
  enum TBevelCut { bvNone, bvLowered, bvRaised };
  Q_ENUM(TBevelCut)

  explicit TPanel(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut bevel);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  TColor color_ = clBtnFace;
  TColor fontColor_ = clWindowText;
  TBevelCut bevelOuter_ = bvRaised;
};
