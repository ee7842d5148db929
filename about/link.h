#pragma once

#include "common/failure.h"

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QWidget>

#include <functional>

class QTimer;

enum class TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

// A notification that only says who sent it.
using TNotifyEvent = std::function<void(QObject* sender)>;

// The look of a link's caption in one state.
class TLinkTextAttributes : public QObject {
    Q_OBJECT
public:
    explicit TLinkTextAttributes(QObject* parent = nullptr);

    QColor Color() const { return m_Color; }
    void SetColor(const QColor& value);
    TFontStyles Style() const { return m_Style; }
    void SetStyle(TFontStyles value);

    // Copies another TLinkTextAttributes without notifying; anything else is refused with the
    // assignment error.
    cyfrolia::Result<void> Assign(const QObject* source);

    // Called after Color or Style really changed.
    TNotifyEvent OnChange;

private:
    void Changed();

    QColor m_Color = Qt::black;
    TFontStyles m_Style;
};

// Applies the attributes' style flags to a font.
QFont styledFont(QFont font, TFontStyles style);

enum class TVerticalAlign { vaTop, vaCenter, vaBottom };
enum class THorizontalAlign { haLeft, haCenter, haRight };

// Where a caption of `extent` pixels starts in a control of `size` pixels. Centring halves with
// rounding down, so an oversized caption overflows evenly on both sides.
int captionOffset(int alignment, int size, int extent, int margin);

// A focusable, self-drawn text that behaves like a web link. Whether the pointer is over it is
// decided by the shared watcher (TLinkChecker), not by enter and leave events.
class TLink : public QWidget {
    Q_OBJECT
public:
    explicit TLink(QWidget* parent = nullptr);
    ~TLink() override;

    TLinkTextAttributes* FontActive() const { return m_FontActive; }
    cyfrolia::Result<void> SetFontActive(const QObject* value);
    TLinkTextAttributes* FontUnactive() const { return m_FontUnactive; }
    cyfrolia::Result<void> SetFontUnactive(const QObject* value);

    QString URL() const { return m_URL; }
    void SetURL(const QString& value);
    QString Caption() const { return m_Caption; }
    void SetCaption(const QString& value);
    QString Hint() const { return m_Hint; }
    void SetHint(const QString& value) { m_Hint = value; }
    bool ShowHint() const { return m_ShowHint; }
    void SetShowHint(bool value) { m_ShowHint = value; }

    int MarginHorizontal() const { return m_MarginHorizontal; }
    void SetMarginHorizontal(int value);
    int MarginVertical() const { return m_MarginVertical; }
    void SetMarginVertical(int value);
    TVerticalAlign Vertical() const { return m_Vertical; }
    void SetVertical(TVerticalAlign value);
    THorizontalAlign Horizontal() const { return m_Horizontal; }
    void SetHorizontal(THorizontalAlign value);

    bool Unactive() const { return m_Unactive; }

    // The control's own colour; by default (ParentColor) the parent's background.
    QColor Color() const;
    void SetColor(const QColor& value);
    bool ParentColor() const { return m_ParentColor; }
    void SetParentColor(bool value);

    bool AutoSize() const { return m_AutoSize; }
    void SetAutoSize(bool value);
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value) { setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus); }

    // true: the pointer is over the link (FontActive, OnMouseOver); false: it left (OnMouseOut).
    void SetActive(bool flag);
    void OpenURL();
    virtual void Click();
    // Computes the auto-size in the drawing font; false (nothing changed) without a parent.
    virtual bool CanAutoSize(int& newWidth, int& newHeight);

    // Where the caption goes in the current state and size.
    QRect TextRect() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseOut;
    TNotifyEvent OnMouseOver;

    // How an address reaches the desktop; tests put a recorder here.
    using UrlOpener = std::function<bool(const QUrl&)>;
    static void SetUrlOpener(UrlOpener opener);

    QSize sizeHint() const override;

signals:
    void clicked();
    void doubleClicked();

protected:
    virtual void Paint();
    void DrawCaption(class QPainter& canvas);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AttributesChanged(QObject* sender);
    const TLinkTextAttributes* CurrentAttributes() const;
    QFont CurrentFont() const;
    void AdjustSize();

    TLinkTextAttributes* m_FontActive;
    TLinkTextAttributes* m_FontUnactive;
    QString m_URL;
    QString m_Caption;
    QString m_Hint;
    bool m_ShowHint = false;
    int m_MarginHorizontal = 1;
    int m_MarginVertical = 1;
    TVerticalAlign m_Vertical = TVerticalAlign::vaCenter;
    THorizontalAlign m_Horizontal = THorizontalAlign::haCenter;
    bool m_Unactive = true;
    bool m_ParentColor = true;
    bool m_AutoSize = false;
    bool m_pressed = false;
    // The drawing surface's font: the control's font with the style DrawCaption applied last.
    QFont m_canvasFont;
};
