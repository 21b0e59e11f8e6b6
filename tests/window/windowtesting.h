#pragma once

#include "window/frmmain.h"
#include "window/shellwindows.h"
#include "window/twips.h"
#include "window/twipsgeometry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Helpers shared by the tests that build the whole window.
namespace windowtesting {

inline QString sourceDirectory()
{
    return QStringLiteral(PAGEWICK_SOURCE_DIR);
}

inline QString samplePage(const QString &name)
{
    return QStringLiteral("file://") + sourceDirectory() + QStringLiteral("/samples/book-utf8/") + name;
}

// A program directory of the test's own, so that whatever the window saves
// stays out of the source tree; the sample book is linked into it.
class ProgramDirectory
{
public:
    ProgramDirectory()
    {
        QFile::link(sourceDirectory() + QStringLiteral("/samples"), m_dir.filePath(QStringLiteral("samples")));
    }
    QString path() const { return m_dir.path(); }
    QString samplePage(const QString &name) const
    {
        return QStringLiteral("file://") + path() + QStringLiteral("/samples/book-utf8/") + name;
    }

private:
    QTemporaryDir m_dir;
};

// A desktop with the windows the test gives.
class FakeShellWindows : public pagewick::window::ShellWindowProvider
{
public:
    std::optional<QVector<pagewick::window::ShellWindow>> windows() override { return list; }
    std::optional<QVector<pagewick::window::ShellWindow>> list = QVector<pagewick::window::ShellWindow>{};
};

// Shown, active and laid out once.
inline bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

inline void sendMouse(QWidget *target, QEvent::Type type, qreal y, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    const QPointF local(10, y);
    QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline QRect twips(const QWidget *control)
{
    return pagewick::window::twipsGeometry(control);
}

// Twips to the pixel offsets a mouse event carries.
inline qreal px(int twips)
{
    return twips / 15.0;
}

} // namespace windowtesting
