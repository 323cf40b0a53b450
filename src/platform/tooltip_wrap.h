#pragma once

#include <QObject>
#include <QString>

class QFontMetrics;

namespace velmar {

// Breaks a tooltip's text into lines no wider than maxWidth pixels in the given font: at blanks
// where it can, inside a word only when the word alone is wider. Line breaks already in the text
// are kept; a text that fits is returned as it is.
QString wrapToolTip(const QString& text, const QFontMetrics& metrics, int maxWidth);

// A tooltip text as markup that shows exactly this text: escaped, control characters made visible,
// line breaks kept (Qt would otherwise render a text that looks like HTML as HTML).
QString plainToolTip(const QString& text);

// Shows every tooltip of the application wrapped (see wrapToolTip), so that a long hint reads as
// a short paragraph instead of one line across the whole screen, and always as plain text (see
// plainToolTip), item views' tooltips included. Install it on the application.
class ToolTipWrapper : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxWidth = 400;  // pixels

    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmar
