#pragma once
// The one failure type of the embedded word processor: a number and a Spanish
// description. At the bottom of the library: every unit may throw it, and a
// caller that only catches it need not see the object model.
#include <QString>
#include <exception>
#include <string>
#include <utility>

namespace Word {

class Error : public std::exception {
public:
    Error(int number, QString description)
        : number_(number), description_(std::move(description)), what_(description_.toStdString())
    {
    }
    int number() const { return number_; }
    QString description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

// Every error number the component reports.
namespace ErrorCode {
constexpr int NoSuchMember = 5941;     // no member of that name or index in the collection
constexpr int FileNotFound = 5174;     // the file to open or insert does not exist
constexpr int BadDocument = 5792;      // the file is not a readable document package
constexpr int CannotSave = 5153;       // the document could not be written
constexpr int NoDocument = 4248;       // no document is open
constexpr int NotAvailable = 4605;     // the method does not apply to this object
constexpr int BadParameter = 4120;     // an argument out of range
constexpr int CommandFailed = 4198;    // the command could not be carried out (e.g. printing)
constexpr int BadPicture = 5152;       // the picture file cannot be read as an image
constexpr int NoRunningInstance = 429; // attach: no instance is running
constexpr int InstanceGone = 462;      // the instance has quit
} // namespace ErrorCode

} // namespace Word
