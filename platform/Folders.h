#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

namespace platform {

// The folders the program works in.
class Folders {
public:
    virtual ~Folders() = default;
    // The folder that holds the program's executable, where its side files live (the tool,
    // Samples/, HAND-M.CUR, drag.ico, x/o.cjs).
    virtual QString programFolder() const = 0;
    // A temporary folder private to this instance of the program (mode 0700, inside the
    // system's temporary folder), made on first use and removed with this object. The tool's
    // output files live here: a fixed path in the shared temporary folder would let another
    // user plant a link there and would mix the output of two running instances. Empty when
    // the folder cannot be made.
    virtual QString privateTempFolder() = 0;
};

// The folders of the running program.
class SystemFolders final : public Folders {
public:
    SystemFolders();
    ~SystemFolders() override;
    QString programFolder() const override;
    QString privateTempFolder() override;

private:
    std::unique_ptr<QTemporaryDir> temporary;
};

} // namespace platform
