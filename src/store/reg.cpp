#include "store/reg.h"

#include "store/paths.h"

namespace korvanta::store {
namespace {

std::int32_t LittleEndian(std::string_view bytes) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return static_cast<std::int32_t>(v);
}

std::string LittleEndianBytes(std::int32_t value, std::size_t count) {
  auto v = static_cast<std::uint32_t>(value);
  std::string out(count, '\0');
  for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xff);
  return out;
}

}  // namespace

std::string_view RootName(RegRoot root) {
  switch (root) {
    case RegRoot::kClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegRoot::kCurrentUser:
      return "HKEY_CURRENT_USER";
    case RegRoot::kLocalMachine:
      return "HKEY_LOCAL_MACHINE";
  }
  return "HKEY";
}

Status Registry::Recorded(Status status, RegRoot root, std::string_view sub_key,
                          const std::string_view* value_name, std::string_view unstorable) {
  if (status == kSuccess || !failures_) return status;
  std::string what = std::string(RootName(root)) + "\\" + std::string(sub_key);
  if (value_name)
    what += "\\" + (value_name->empty() ? std::string("(默认)") : std::string(*value_name));
  if (!unstorable.empty()) {
    failures_->RecordUnstorable(std::move(what), unstorable);
  } else {
    failures_->Record(std::move(what));
  }
  return status;
}

Status Registry::QueryValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                            Variant& value) {
  std::uint32_t type = kRegNone;
  return QueryValue(root, sub_key, value_name, value, type);
}

Status Registry::QueryValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                            Variant& value, std::uint32_t& type) {
  KeyHandle key;
  Status status = backend_.OpenKey(root, codepage_.ToAnsi(sub_key), kKeyRead, key);
  if (status != kSuccess) return status;
  RegData data;
  status = backend_.QueryValue(key, codepage_.ToAnsi(value_name), data);
  if (status == kSuccess) {
    type = data.type;
    switch (data.type) {
      case kRegSz:
      case kRegExpandSz:
        // Texts of any length: a value that did not fit a fixed buffer used to be
        // shown empty and then written back empty by the page's apply.
        value = codepage_.FromAnsi(StripNull(data.bytes));
        break;
      case kRegBinary:
      case kRegDword:
        if (data.bytes.size() > 4) {
          status = kMoreData;
        } else {
          value = LittleEndian(data.bytes);
        }
        break;
      default:
        break;
    }
  }
  backend_.CloseKey(key);
  return status;
}

Status Registry::SetValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                          std::uint32_t type, Variant& value, std::int32_t& size) {
  std::string bytes;
  switch (type) {
    case kRegSz:
    case kRegExpandSz: {
      // A '?' stored for each character the code page lacks would lose the text
      // without a word: nothing is written, and the characters are told.
      const std::string text = value.ToText();
      if (std::string bad = codepage_.Unstorable(text); !bad.empty()) {
        return Recorded(kNoUnicodeTranslation, root, sub_key, &value_name, bad);
      }
      bytes = codepage_.ToAnsi(text);
      bytes.push_back('\0');
      break;
    }
    case kRegDword:
    case kRegBinary: {
      std::optional<std::int32_t> number = value.ToInt32();
      if (!number) return kInvalidData;
      std::size_t count = 4;
      if (type == kRegBinary && size >= 0 && size < 4) count = static_cast<std::size_t>(size);
      bytes = LittleEndianBytes(*number, count);
      value = *number;
      break;
    }
    default:
      return kSuccess;
  }
  Status status = SetRawValue(root, sub_key, value_name, type, bytes);
  if (status == kSuccess) size = static_cast<std::int32_t>(bytes.size());
  return status;
}

Status Registry::SetValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                          std::uint32_t type, Variant value) {
  std::int32_t size = 4;
  return SetValue(root, sub_key, value_name, type, value, size);
}

Status Registry::SetRawValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                             std::uint32_t type, std::string_view bytes) {
  KeyHandle key;
  Status status = backend_.CreateKey(root, codepage_.ToAnsi(sub_key), key);
  if (status == kSuccess) {
    status = backend_.SetValue(key, codepage_.ToAnsi(value_name), type, bytes);
    backend_.CloseKey(key);
  }
  return Recorded(status, root, sub_key, &value_name);
}

Status Registry::DeleteValue(RegRoot root, std::string_view sub_key, std::string_view value_name) {
  KeyHandle key;
  Status status = backend_.OpenKey(root, codepage_.ToAnsi(sub_key), kKeyWrite, key);
  if (status == kSuccess) {
    status = backend_.DeleteValue(key, codepage_.ToAnsi(value_name));
    backend_.CloseKey(key);
  }
  // What is not there is as good as deleted.
  if (status == kFileNotFound || status == kPathNotFound) status = kSuccess;
  return Recorded(status, root, sub_key, &value_name);
}

Status Registry::OpenKey(RegRoot root, std::string_view sub_key, std::uint32_t access,
                         KeyHandle& key) {
  return backend_.OpenKey(root, codepage_.ToAnsi(sub_key), access, key);
}

Status Registry::CloseKey(KeyHandle key) {
  return backend_.CloseKey(key);
}

Status Registry::EnumValue(KeyHandle key, std::uint32_t index, std::string& name) {
  std::string ansi;
  RegData data;
  Status status = backend_.EnumValue(key, index, ansi, data);
  if (status == kSuccess) name = codepage_.FromAnsi(StripNull(ansi));
  return status;
}

Status Registry::EnumKey(KeyHandle key, std::uint32_t index, std::string& name) {
  std::string ansi;
  Status status = backend_.EnumKey(key, index, ansi);
  if (status == kSuccess) name = codepage_.FromAnsi(ansi);
  return status;
}

Status Registry::CreateKey(RegRoot root, std::string_view sub_key) {
  KeyHandle key;
  Status status = backend_.CreateKey(root, codepage_.ToAnsi(sub_key), key);
  if (status == kSuccess) backend_.CloseKey(key);
  return Recorded(status, root, sub_key, nullptr);
}

Status Registry::DeleteKey(RegRoot root, std::string_view sub_key) {
  Status status = backend_.DeleteKey(root, codepage_.ToAnsi(sub_key));
  // A key that is not there is no failure to tell of, though the call reports it.
  if (status == kFileNotFound || status == kPathNotFound) return status;
  return Recorded(status, root, sub_key, nullptr);
}

}  // namespace korvanta::store
