// Placeholder implementation while the component is being built.
#include "platform/word/Word.h"

namespace Word {

Error::Error(int number, QString description)
    : number_(number), description_(std::move(description)), what_(description_.toStdString()) {}

Application::~Application() = default;
Provider::~Provider() = default;

namespace {
Provider* provider = nullptr;
[[noreturn]] void notYet() { throw Error(ErrorCode::CommandFailed, QStringLiteral("No disponible.")); }
}

std::shared_ptr<Application> CreateObject() { if (provider) return provider->create(); notYet(); }
std::shared_ptr<Application> GetObject() { if (provider) return provider->attach(); notYet(); }
void setProvider(Provider* p) { provider = p; }
void setPrintOutputPdf(const QString&) {}
int runningInstanceCount() { return 0; }
void quitAllInstances() {}

} // namespace Word
