#pragma once
// Switches of the embedded word processor for tests: stand-in instances, where
// printing goes, and the running instances.
#include "platform/word/Word.h"

#include <QString>
#include <memory>

namespace Word {

// Test seam: replaces how CreateObject/GetObject obtain instances (nullptr
// restores the embedded word processor). The provider is not owned.
struct Provider {
    virtual ~Provider();
    virtual std::shared_ptr<Application> create() = 0;
    virtual std::shared_ptr<Application> attach() = 0;
};
void setProvider(Provider* provider);

// Where PrintOut sends its output: empty (the default) means the default
// printer, or a PDF beside the document when there is none; a path makes every
// print write that PDF, without a message. For tests.
void setPrintOutputPdf(const QString& path);

// Embedded instances running (created and not quit); for tests.
int runningInstanceCount();
// Quits every embedded instance without saving; for tests and program exit.
void quitAllInstances();

} // namespace Word
