#pragma once
// TShadowLabel: the title banner. Paints its caption over a shadow copy and
// a highlight copy, each with its own colour and offset.

#include "platform/Types.h"

#include <QtCore/QObject>
#include <QtWidgets/QWidget>

// The colour and offset of one copy of the caption.
class TShadow : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
  Q_PROPERTY(uint Color READ Color WRITE SetColor)
  Q_PROPERTY(int OffsetLeft READ OffsetLeft WRITE SetOffsetLeft)
  Q_PROPERTY(int OffsetTop READ OffsetTop WRITE SetOffsetTop)

 public:
  explicit TShadow(QObject* parent = nullptr) : QObject(parent) {}

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int OffsetLeft() const { return offsetLeft_; }
  void SetOffsetLeft(int offset);
  int OffsetTop() const { return offsetTop_; }
  void SetOffsetTop(int offset);

  // Copies the four values and fires OnChange once.
  void Assign(const TShadow& source);

  TNotifyEvent OnChange;

 private:
  void changed();

  bool visible_ = true;
  TColor color_ = clSilver;
  int offsetLeft_ = 1;
  int offsetTop_ = 1;
};

class TShadowLabel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

 public:
  enum TEllipsis { elNone, elEnd, elPath };
  Q_ENUM(TEllipsis)
  enum TTextGradation { tgNone, tg2Colors, tg3Colors };
  Q_ENUM(TTextGradation)

  explicit TShadowLabel(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TEllipsis Ellipsis() const { return ellipsis_; }
  void SetEllipsis(TEllipsis ellipsis);
  bool Gradation() const { return gradation_; }
  void SetGradation(bool gradation);
  bool GradateVert() const { return gradateVert_; }
  void SetGradateVert(bool vertical);
  TTextGradation TextGradation() const { return textGradation_; }
  void SetTextGradation(TTextGradation gradation);

  TShadow* Highlight() const { return highlight_; }
  void SetHighlight(const TShadow* source);
  TShadow* Shadow() const { return shadow_; }
  void SetShadow(const TShadow* source);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString caption_;
  TColor fontColor_ = clWindowText;
  TColor color_ = clWindow;
  bool transparent_ = false;
  TEllipsis ellipsis_ = elNone;
  bool gradation_ = false;
  bool gradateVert_ = false;
  TTextGradation textGradation_ = tgNone;
  TShadow* highlight_;
  TShadow* shadow_;
};
