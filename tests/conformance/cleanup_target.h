// The file system the cleanup's conformance tests run against: a host folder
// standing for drive C: on the host, the real drive C: of the prefix under
// Wine. The same tests run on both; where they disagree, the simulation is
// wrong. Names are Windows names relative to Root(), in the ANSI code page.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/form.h"
#include "platform/runtime.h"

namespace quorvel::testing {

class CleanupTarget {
public:
    virtual ~CleanupTarget() = default;

    // The run time whose Kill deletes, its file list, and its hook that runs
    // inside Kill between a file's check and its deletion.
    virtual platform::Runtime& runtime() = 0;
    virtual platform::Control& list() = 0;
    virtual void SetBeforeDeletion(std::function<void(const std::string& path)> hook) = 0;

    // "C:\..." under which each test builds its folders; Clear() empties it
    // without following any link.
    virtual std::string Root() = 0;
    virtual void Clear() = 0;

    virtual void Write(const std::string& name, const std::string& bytes) = 0;
    // The same for a name in UTF-8, which may hold characters the ANSI code
    // page does not.
    virtual void WriteUtf8(const std::string& name, const std::string& bytes) = 0;
    virtual void MakeFolder(const std::string& name) = 0;
    // A symbolic link `name` to `target` (absolute, through Root()); reports
    // a failure when the platform cannot make one.
    virtual void SymbolicLink(const std::string& name, const std::string& target) = 0;
    virtual void HardLink(const std::string& name, const std::string& target) = 0;
    virtual void SetAttributes(const std::string& name, unsigned attributes) = 0;

    // Another process holding the file open without delete sharing, until
    // the returned object is destroyed.
    virtual std::shared_ptr<void> HoldOpen(const std::string& name) = 0;
    // What another program would do to swap a file for a link: rename the
    // file away, then make the link. False when the file could not be moved.
    virtual bool ReplaceWithLink(const std::string& name, const std::string& target) = 0;

    // Whether the name is there, as a file, folder or link (followed or not).
    virtual bool Exists(const std::string& name) = 0;
    virtual bool ExistsUtf8(const std::string& name) = 0;
    // Every name (in UTF-8), size and byte under a folder.
    virtual std::string Fingerprint(const std::string& folder) = 0;

    // Whether opening a link opens its target, so that the link cannot be
    // deleted by itself (Wine, and the simulation, which follows it); on
    // Windows the handle of a link is the link.
    virtual bool LinksResolveOnOpen() = 0;
};

CleanupTarget& Cleanup();

}  // namespace quorvel::testing
