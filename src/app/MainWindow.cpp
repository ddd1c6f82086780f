#include "app/MainWindow.h"

#include "app/MainLayoutView.h"
#include "ui/eon/EonMetrics.h"

#include <QCloseEvent>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

MainWindow::MainWindow(DIContainer& container, WorkspacePanelState& panels,
    TrackTableLayoutState& trackTableLayout, QWidget* parent)
    : QWidget(parent)
    , m_layout(new MainLayoutView(container, panels, trackTableLayout, m_undoManager, this))
{
    setObjectName(u"mainWindow"_s);
    setWindowTitle(u"KIVO VOVID"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_layout);
    setMinimumSize(eon::windowMinimumWidth, eon::windowMinimumHeight);
    resize(eon::windowWidth, eon::windowHeight);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_layout->presenter().windowClosing();
    QWidget::closeEvent(event);
}

} // namespace kivo
