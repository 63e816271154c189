#include "sim/model/registry_hive.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "platform/constants.h"
#include "platform/winapi.h"

namespace quorvel::sim {

using namespace platform;

std::string Lower(std::string text) {
    for (char& c : text) c = FoldCase(c);
    return text;
}

namespace {
std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::stringstream stream(path);
    std::string part;
    while (std::getline(stream, part, '\\')) {
        if (!part.empty()) parts.push_back(Lower(part));
    }
    return parts;
}
}  // namespace

RegistryHive::RegistryHive() {
    roots_[HKEY_CURRENT_USER] = std::make_unique<Key>();
    roots_[HKEY_LOCAL_MACHINE] = std::make_unique<Key>();
}

RegistryHive::Key* RegistryHive::FromHandle(Hkey key) const {
    if (auto root = roots_.find(key); root != roots_.end()) return root->second.get();
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : it->second;
}

RegistryHive::Key* RegistryHive::Resolve(Hkey root, const std::string& path, bool create) {
    Key* key = FromHandle(root);
    for (const std::string& part : SplitPath(path)) {
        if (key == nullptr) return nullptr;
        auto it = key->subkeys.find(part);
        if (it == key->subkeys.end()) {
            if (!create) return nullptr;
            it = key->subkeys.emplace(part, std::make_unique<Key>()).first;
        }
        key = it->second.get();
    }
    return key;
}

const RegistryHive::Key* RegistryHive::Resolve(Hkey root, const std::string& path) const {
    return const_cast<RegistryHive*>(this)->Resolve(root, path, false);
}

void RegistryHive::Set(Hkey root, const std::string& path, const std::string& name,
                       std::uint32_t type, std::vector<std::uint8_t> data) {
    Resolve(root, path, true)->values[Lower(name)] = {type, std::move(data)};
}

void RegistryHive::SetText(Hkey root, const std::string& path, const std::string& name,
                           const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    Set(root, path, name, REG_SZ, std::move(data));
}

std::optional<RegistryValue> RegistryHive::Get(Hkey root, const std::string& path,
                                               const std::string& name) const {
    const Key* key = Resolve(root, path);
    if (key == nullptr) return std::nullopt;
    auto it = key->values.find(Lower(name));
    if (it == key->values.end()) return std::nullopt;
    return it->second;
}

bool RegistryHive::KeyExists(Hkey root, const std::string& path) const {
    return Resolve(root, path) != nullptr;
}

void RegistryHive::DeleteKey(Hkey root, const std::string& path) {
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return;
    std::string last = parts.back();
    parts.pop_back();
    Key* key = FromHandle(root);
    for (const std::string& part : parts) {
        if (key == nullptr) return;
        auto it = key->subkeys.find(part);
        key = it == key->subkeys.end() ? nullptr : it->second.get();
    }
    if (key != nullptr) key->subkeys.erase(last);
}

std::int32_t RegistryHive::Open(Hkey root, const std::string& path, Hkey* result) {
    if (unopenableKeys.count(Lower(path)) != 0) return ERROR_ACCESS_DENIED;
    Key* key = Resolve(root, path, false);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    *result = nextHandle_++;
    handles_[*result] = key;
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::Create(Hkey root, const std::string& path, Hkey* result) {
    if (uncreatableKeys.count(Lower(path)) != 0) return ERROR_ACCESS_DENIED;
    if (FromHandle(root) == nullptr) return ERROR_INVALID_HANDLE;
    Key* key = Resolve(root, path, true);
    *result = nextHandle_++;
    handles_[*result] = key;
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::Query(Hkey handle, const std::string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) const {
    Key* key = FromHandle(handle);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    auto it = key->values.find(Lower(name));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    const RegistryValue& value = it->second;
    if (type != nullptr) *type = value.type;
    const std::vector<std::uint8_t>& bytes = value.data;
    std::uint32_t needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr && size != nullptr && needed > *size) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, bytes.data(), needed);
    // Texts are kept as Unicode and converted for the ANSI read, which ends
    // them with a NUL when there is room for one, stored or not.
    constexpr std::uint32_t REG_EXPAND_SZ = 2, REG_MULTI_SZ = 7;
    bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (text && data != nullptr && size != nullptr && needed < *size &&
        (bytes.empty() || bytes.back() != 0)) {
        data[needed] = 0;
    }
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::SetValue(Hkey handle, const std::string& name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
    Key* key = FromHandle(handle);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if (refuseWrites) return ERROR_ACCESS_DENIED;
    key->values[Lower(name)] = {type, std::vector<std::uint8_t>(data, data + size)};
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::Close(Hkey handle) {
    return handles_.erase(handle) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace quorvel::sim
