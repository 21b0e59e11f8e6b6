#pragma once

#include <QWebEnginePage>

class QAuthenticator;
class QWebEngineCertificateError;

namespace pagewick::browser {

// A page that, while silent, shows no dialog of its own: it answers every
// question itself the way a dismissed dialog would. While not silent it
// behaves as the engine's own page does with a view (modal dialogs).
//
// It never opens a window of its own: requests for new windows are left to
// the owner (newWindowRequested), so createWindow() refuses.
class SilentPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit SilentPage(QObject *parent = nullptr);

    bool isSilent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }
    // Script dialogs alone answered as while silent.
    void setScriptDialogsSilenced(bool silenced) { m_dialogsSilenced = silenced; }

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private:
    void onCertificateError(const QWebEngineCertificateError &error);
    void onAuthenticationRequired(const QUrl &requestUrl, QAuthenticator *authenticator);
    void onProxyAuthenticationRequired(const QUrl &requestUrl, QAuthenticator *authenticator,
                                       const QString &proxyHost);
    void onFeaturePermissionRequested(const QUrl &securityOrigin, Feature feature);

    bool m_silent = false;
    bool m_dialogsSilenced = false;
};

// The text with which the engine asks the before-unload question through
// javaScriptConfirm().
QString beforeUnloadQuestion();

} // namespace pagewick::browser
