#pragma once
// TShadowLabel: a label that paints its caption up to three times: a shadow
// copy and a highlight copy underneath, each with its own colour and offset,
// then the caption itself in the font colour or graded across two or three
// colours. The background is the parent's (Transparent), a solid colour or
// a two-colour gradient. The drill window's title banner is one.

#include "platform/Types.h"
#include "widgets/ShadoLblRules.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

class QImage;
class QPainter;

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

  // Fired after a value changed, with this object as the sender.
  TNotifyEvent OnChange;

 private:
  template <class T>
  void store(T& field, T value);
  void changed();

  bool visible_ = true;
  TColor color_ = clSilver;
  int offsetLeft_ = 1;
  int offsetTop_ = 1;
};

class TShadowLabel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(Ui::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(uint Color READ Color WRITE SetColor)
  Q_PROPERTY(ShadoLbl::TEllipsis Ellipsis READ Ellipsis WRITE SetEllipsis)
  Q_PROPERTY(bool Flickerless READ Flickerless WRITE SetFlickerless)
  Q_PROPERTY(QWidget* FocusControl READ FocusControl WRITE SetFocusControl)
  Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(bool GradateVert READ GradateVert WRITE SetGradateVert)
  Q_PROPERTY(bool Gradation READ Gradation WRITE SetGradation)
  Q_PROPERTY(uint GradationColor READ GradationColor WRITE SetGradationColor)
  Q_PROPERTY(TShadow* Highlight READ Highlight WRITE SetHighlight)
  Q_PROPERTY(Ui::TTextLayout Layout READ Layout WRITE SetLayout)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(TShadow* Shadow READ Shadow WRITE SetShadow)
  Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
  Q_PROPERTY(ShadoLbl::TTextGradation TextGradation READ TextGradation WRITE SetTextGradation)
  Q_PROPERTY(uint TextGradationColor READ TextGradationColor WRITE SetTextGradationColor)
  Q_PROPERTY(uint TextMidColor READ TextMidColor WRITE SetTextMidColor)
  Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
  Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)

 public:
  using TEllipsis = ShadoLbl::TEllipsis;
  using TTextGradation = ShadoLbl::TTextGradation;
  static constexpr TEllipsis elNone = ShadoLbl::elNone;
  static constexpr TEllipsis elEnd = ShadoLbl::elEnd;
  static constexpr TEllipsis elPath = ShadoLbl::elPath;
  static constexpr TTextGradation tgNone = ShadoLbl::tgNone;
  static constexpr TTextGradation tg2Colors = ShadoLbl::tg2Colors;
  static constexpr TTextGradation tg3Colors = ShadoLbl::tg3Colors;

  explicit TShadowLabel(QWidget* parent = nullptr);

  // --- published properties (enabled, visible and font are the widget's) ---
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& value);
  // The parent's colour while ParentColor; setting a colour ends that.
  TColor Color() const;
  void SetColor(TColor value);
  TEllipsis Ellipsis() const { return ellipsis_; }
  void SetEllipsis(TEllipsis value);
  bool Flickerless() const { return flickerless_; }
  void SetFlickerless(bool value);
  // The control an accelerator ("&" in the caption) gives the focus to.
  QWidget* FocusControl() const { return focusControl_; }
  void SetFocusControl(QWidget* control);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);
  bool GradateVert() const { return gradateVert_; }
  void SetGradateVert(bool value);
  bool Gradation() const { return gradation_; }
  void SetGradation(bool value);
  TColor GradationColor() const { return gradationColor_; }
  void SetGradationColor(TColor value);
  TShadow* Highlight() const { return highlight_; }
  // Copies the values of source into the label's own Highlight; none is ignored.
  void SetHighlight(const TShadow* source);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TShadow* Shadow() const { return shadow_; }
  void SetShadow(const TShadow* source);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TTextGradation TextGradation() const { return textGradation_; }
  void SetTextGradation(TTextGradation value);
  TColor TextGradationColor() const { return textGradationColor_; }
  void SetTextGradationColor(TColor value);
  TColor TextMidColor() const { return textMidColor_; }
  void SetTextMidColor(TColor value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

  // --- events ----------------------------------------------------------------
  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // The reactions of the setters, from the lightest up.
  void repaint();
  void repaintWhile(bool shown);
  void remeasure();

  void adjustBounds();
  void regrabAccelerator();
  void paintBackground(QPainter& painter, QImage* surface);
  void paintText(QPainter& painter);
  void paintGraded(QPainter& painter, const QString& text, const ShadoLbl::TextFlags& flags,
                   const QRect& box);
  void mouse(const TMouseEvent& handler, QMouseEvent* event);

  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  QString caption_;
  TColor color_ = clWindow;
  TEllipsis ellipsis_ = elNone;
  bool flickerless_ = true;
  QPointer<QWidget> focusControl_;
  TColor fontColor_ = clWindowText;
  bool gradateVert_ = false;
  bool gradation_ = false;
  TColor gradationColor_ = clBlue;
  TShadow* highlight_;
  TTextLayout layout_ = tlTop;
  bool parentColor_ = true;
  TShadow* shadow_;
  bool showAccelChar_ = true;
  TTextGradation textGradation_ = tgNone;
  TColor textGradationColor_ = clMaroon;
  TColor textMidColor_ = clNavy;
  bool transparent_ = false;
  bool wordWrap_ = false;

  int acceleratorId_ = 0;
  bool leftDown_ = false;
};
