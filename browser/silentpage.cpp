#include "browser/silentpage.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>

namespace pagewick::browser {

QString beforeUnloadQuestion()
{
    return QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

SilentPage::SilentPage(QObject *parent)
    : QWebEnginePage(parent)
{
    // All of these hand over an object that is only valid during the
    // emission, so they are answered directly.
    connect(this, &QWebEnginePage::certificateError, this, &SilentPage::onCertificateError);
    connect(this, &QWebEnginePage::authenticationRequired, this,
            &SilentPage::onAuthenticationRequired);
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            &SilentPage::onProxyAuthenticationRequired);
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            &SilentPage::onFeaturePermissionRequested);
}

QWebEnginePage *SilentPage::createWindow(WebWindowType)
{
    return nullptr;
}

void SilentPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    if (!m_silent && !m_dialogsSilenced)
        QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool SilentPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    if (!m_silent && !m_dialogsSilenced)
        return QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
    // Staying on the page would silently swallow the navigation the program
    // itself started (Navigate, a clicked next-page link), so the silent
    // answer to "leave this page?" is yes. Any other confirm() is declined.
    return msg == beforeUnloadQuestion();
}

bool SilentPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                                  const QString &defaultValue, QString *result)
{
    if (!m_silent && !m_dialogsSilenced)
        return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
    return false;
}

QStringList SilentPage::chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                                    const QStringList &acceptedMimeTypes)
{
    if (!m_silent)
        return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
    return {};
}

void SilentPage::onCertificateError(const QWebEngineCertificateError &error)
{
    // Left alone, the engine refuses the certificate once the emission ends.
    if (m_silent) {
        QWebEngineCertificateError copy = error;
        copy.rejectCertificate();
    }
}

void SilentPage::onAuthenticationRequired(const QUrl &, QAuthenticator *authenticator)
{
    // A null authenticator cancels the request.
    if (m_silent && authenticator)
        *authenticator = QAuthenticator();
}

void SilentPage::onProxyAuthenticationRequired(const QUrl &, QAuthenticator *authenticator,
                                               const QString &)
{
    if (m_silent && authenticator)
        *authenticator = QAuthenticator();
}

void SilentPage::onFeaturePermissionRequested(const QUrl &securityOrigin, Feature feature)
{
    if (m_silent)
        setFeaturePermission(securityOrigin, feature, PermissionDeniedByUser);
}

} // namespace pagewick::browser
