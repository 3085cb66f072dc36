#include "host/browser/resscheme.h"

#include "host/core/resaddress.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace quib {

namespace {

class ResSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const auto resource = ResolveResAddress(job->requestUrl());
        if (!resource) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        QFile file(resource->path);
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        auto* body = new QBuffer(job);  // the job owns the body and outlives its reading
        body->setData(file.readAll());
        body->open(QIODevice::ReadOnly);
        job->reply(resource->mimeType.toLatin1(), body);
    }
};

}  // namespace

void RegisterResScheme()
{
    QWebEngineUrlScheme scheme("res");
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void InstallResScheme(QWebEngineProfile& profile)
{
    if (!profile.urlSchemeHandler("res"))
        profile.installUrlSchemeHandler("res", new ResSchemeHandler(&profile));
}

}  // namespace quib
