#pragma once

#include "app/AboutPresenter.h"

#include <QWidget>

class QLabel;
class QVariantAnimation;

namespace kivo {

class EonPressButton;
class LinkOpener;

// The About window: the program's icon, name and version line, what it is,
// who makes it, two contact links, "Check for Updates" and, after a link
// that could not be opened, the reason in one line. A fixed 430 by 540 window
// that the close button and Escape close.
class AboutView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize { 430, 540 };

    explicit AboutView(LinkOpener& opener, QWidget* parent = nullptr);

    AboutPresenter& presenter() { return m_presenter; }
    EonPressButton& closeButton() const { return *m_close; }
    EonPressButton& linkButton(AboutLink::Kind kind) const;
    QString versionText() const;
    // The error line as shown; empty while hidden.
    QString errorText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showLinkError(const QString& error);

    AboutPresenter m_presenter;
    EonPressButton* m_close;
    EonPressButton* m_links[3];
    QLabel* m_version;
    QLabel* m_error;
    QVariantAnimation* m_errorFade;
};

} // namespace kivo
