#include "app/qt/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

#include "app/OlvexDoc.h"
#include "resources/Resources.h"

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Gives the status bar's message pane the room its text needs: when the text does not fit
// beside the CAP, NUM and SCRL indicators and the size grip, they step aside until a shorter
// text fits again (the window still resizes by its edges).
class MessagePaneRoom : public QObject {
public:
    MessagePaneRoom(QStatusBar& bar, QLabel& pane, QList<QLabel*> indicators)
        : QObject(&bar), m_bar(bar), m_pane(pane), m_indicators(std::move(indicators)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize ||
            event->type() == QEvent::Show) {
            Fit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Fit() {
        const QMargins frame = m_pane.contentsMargins();
        const int needed = m_pane.fontMetrics().horizontalAdvance(m_pane.text()) + frame.left() +
                           frame.right() + 2 * m_pane.margin();
        // What the indicators and the grip take, with the spacing of the bar's layout.
        const int spacing = std::max(m_bar.layout() != nullptr ? m_bar.layout()->spacing() : 0, 0);
        int extras = m_bar.style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, &m_bar) + spacing;
        for (const QLabel* indicator : m_indicators) {
            extras += indicator->sizeHint().width() + spacing;
        }
        constexpr int kBarMargins = 12; // the bar's outer margins and the items' frames
        const bool show = needed <= m_bar.width() - kBarMargins - extras;
        for (QLabel* indicator : m_indicators) {
            if (indicator->isVisibleTo(&m_bar) != show) {
                indicator->setVisible(show);
            }
        }
        if (m_bar.isSizeGripEnabled() != show) {
            m_bar.setSizeGripEnabled(show);
        }
    }

    QStatusBar& m_bar;
    QLabel& m_pane;
    QList<QLabel*> m_indicators;
};
} // namespace

CMainFrame::CMainFrame(COlvexDoc& doc) {
    using namespace resources;
    // Position (0, 0), outer size 740 x 600; the window can be resized and maximized, and the
    // plot area grows with it (the form's template size is the smallest it gets).
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    m_form = new platform::qt::QtTemplateWidget(FormTemplate(), this);
    setCentralWidget(m_form);
    m_host =
        std::make_unique<platform::qt::QtUiHost>(*m_form, *this, Text(LoadString(kIdsAppTitle)));
    m_view = std::make_unique<COlvexView>(doc, *m_host);
    m_host->SetEventSink(m_view.get());
    setWindowTitle(Text(m_view->FileMenu().WindowTitle()));
    m_form->onButton = [this](int id) { OnCommand(id); };
    m_form->onPaint = [this] { m_view->OnPaint(); };
    m_form->GrowWith(kIdcPlotArea, kIdcOutput);
    if (platform::qt::PictureWidget* plot = m_form->Picture(kIdcPlotArea)) {
        plot->onMouseMove = [this](QPoint at, QSize size) {
            m_view->OnPlotMouseMove({at.x(), at.y()}, {size.width(), size.height()});
        };
        plot->onMouseLeave = [this] { m_view->OnPlotMouseLeave(); };
        plot->onResized = [this] { m_view->OnPlotResized(); };
    }

    BuildMenu();
    BuildToolbar();
    BuildStatusBar();
    BuildAccelerators();
    move(kFrameX, kFrameY);
    resize(kFrameWidth, kFrameHeight);
}

CMainFrame::~CMainFrame() {
    // The view's timer must not fire into a view that is gone.
    m_host->SetEventSink(nullptr);
}

QAction* CMainFrame::MakeAction(int id, const QString& text, const QString& prompt) {
    auto* action = new QAction(text, this);
    action->setStatusTip(prompt);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::Action(int commandId) const {
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenu() {
    for (const resources::MenuItem& popup : resources::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(Text(popup.text));
        for (const resources::MenuItem& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            // The text after a tab names the accelerator; the shortcut itself is bound once,
            // with the accelerator table.
            QAction* action = MakeAction(item.id, Text(item.text), Text(item.prompt));
            menu->addAction(action);
        }
    }
    for (int id : {resources::kIdViewToolbar, resources::kIdViewStatusBar}) {
        Action(id)->setCheckable(true);
        Action(id)->setChecked(true);
    }
    UpdateRecentMenu();
    UpdateEditMenu();
}

void CMainFrame::UpdateEditMenu() {
    // A disabled item's shortcut does nothing either.
    Action(resources::kIdEditUndo)->setEnabled(m_view->EditMenu().CanUndo());
    Action(resources::kIdEditRedo)->setEnabled(m_view->EditMenu().CanRedo());
}

void CMainFrame::UpdateRecentMenu() {
    std::vector<std::string> recent = m_host->RecentFiles();
    if (std::erase_if(recent,
                      [](const std::string& path) { return !QFileInfo::exists(Text(path)); }) > 0) {
        m_host->SetRecentFiles(recent);
    }
    for (int i = 0; i < resources::kRecentFileCount; ++i) {
        QAction* action = Action(resources::kIdRecentFirst + i);
        const bool used = static_cast<size_t>(i) < recent.size();
        action->setVisible(used);
        if (used) {
            const QString path = Text(recent[static_cast<size_t>(i)]);
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
            action->setStatusTip(path);
        }
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_view->FileMenu().QueryClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::BuildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setMovable(true);
    m_toolbar->setFloatable(true);
    m_toolbar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolbar->setIconSize(QSize(resources::kToolbarButtonWidth, resources::kToolbarButtonHeight));
    Action(resources::kIdFilePrint)
        ->setIcon(QIcon::fromTheme(QStringLiteral("document-print"),
                                   style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
    Action(resources::kIdAppAbout)
        ->setIcon(QIcon::fromTheme(QStringLiteral("help-about"),
                                   style()->standardIcon(QStyle::SP_MessageBoxQuestion)));
    Action(resources::kIdFilePrint)->setToolTip(QStringLiteral("Print"));
    Action(resources::kIdAppAbout)->setToolTip(QStringLiteral("About"));
    for (int id : resources::ToolbarButtons()) {
        if (id == 0) {
            m_toolbar->addSeparator();
        } else {
            m_toolbar->addAction(Action(id));
        }
    }
}

void CMainFrame::BuildStatusBar() {
    using namespace resources;
    // The message pane shows the idle text; fly-by prompts cover it while a menu item or
    // toolbar button is highlighted.
    auto* message = new QLabel(Text(LoadString(kIdsIdleMessage)), this);
    message->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(message, 1);
    QList<QLabel*> indicators;
    for (int id : {kIdsIndicatorCaps, kIdsIndicatorNum, kIdsIndicatorScrl}) {
        auto* indicator = new QLabel(Text(LoadString(id)), this);
        indicator->setObjectName(Text(LoadString(id)));
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Qt does not report the lock keys' state, so the indicators stay in their off look.
        indicator->setEnabled(false);
        statusBar()->addPermanentWidget(indicator);
        indicators.append(indicator);
    }
    // The pane's text changes request a new layout of the bar.
    statusBar()->installEventFilter(new MessagePaneRoom(*statusBar(), *message, indicators));
}

void CMainFrame::BuildAccelerators() {
    std::map<int, QList<QKeySequence>> keys;
    for (const resources::Accelerator& accelerator : resources::Accelerators()) {
        keys[accelerator.command].append(QKeySequence(Text(accelerator.keys)));
    }
    for (const auto& [command, sequences] : keys) {
        QAction* action = Action(command);
        if (action == nullptr) {
            action = MakeAction(command, QString(), QString());
            addAction(action); // shortcut only, no menu item
        }
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

void CMainFrame::SendToFocus(const char* operation) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        return;
    }
    const bool changesText = qstrcmp(operation, "copy") != 0;
    if (changesText && focus->property("readOnly").toBool()) {
        return; // a read-only control takes no paste, cut or undo
    }
    QMetaObject::invokeMethod(focus, operation);
}

bool CMainFrame::OpenFile(const QString& path) {
    const bool opened =
        m_view->FileMenu().OpenDesignFile(QFileInfo(path).absoluteFilePath().toStdString());
    m_view->FileMenu().UpdateTitle();
    UpdateRecentMenu();
    return opened;
}

void CMainFrame::OnCommand(int id) {
    using namespace resources;
    if (m_view->OnCommand(id)) {
        UpdateRecentMenu();
        UpdateEditMenu();
        return;
    }
    const auto print = [this](platform::PrintKind kind) {
        m_host->Print(kind, [this](platform::DrawContext& dc) { m_view->OnPrint(dc); });
    };
    switch (id) {
    case kIdFilePrint:
        print(platform::PrintKind::kWithDialog);
        break;
    case kIdFilePrintDirect:
        print(platform::PrintKind::kDirect);
        break;
    case kIdFilePrintPreview:
        print(platform::PrintKind::kPreview);
        break;
    case kIdFilePrintSetup: {
        QPageSetupDialog setup(&m_host->Printer(), this);
        setup.exec();
        break;
    }
    case kIdAppExit:
        close();
        break;
    case kIdViewToolbar:
        m_toolbar->setVisible(Action(id)->isChecked());
        break;
    case kIdViewStatusBar:
        statusBar()->setVisible(Action(id)->isChecked());
        break;
    case kIdEditCopy:
        SendToFocus("copy");
        break;
    case kIdEditPaste:
        SendToFocus("paste");
        break;
    case kIdEditCut:
        SendToFocus("cut");
        break;
    default:
        // The pane keys: the window has one pane.
        break;
    }
}

void CMainFrame::FitOuterSize() {
    // Qt sizes the client area; the decorations are known only once the window is shown.
    const QSize decorations = frameGeometry().size() - geometry().size();
    resize(resources::kFrameWidth - decorations.width(),
           resources::kFrameHeight - decorations.height());
    move(resources::kFrameX, resources::kFrameY);
}

void CMainFrame::ShowAndUpdate() {
    show();
    FitOuterSize();
    // At the default size the form's controls stand where the template puts them; the plot
    // grows only when the window does.
    layout()->activate();
    m_form->SetGrowthBase(m_form->size());
    m_view->OnInitialUpdate();
}
