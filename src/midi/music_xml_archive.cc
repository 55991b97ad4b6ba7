// The compressed MusicXML score, made in memory with libzip. Loading
// libzip (and the crypto library it brings) costs milliseconds, which
// every start of the command-line composer would pay; it is opened only
// when a compressed score is written.
#include <dlfcn.h>
#include <zip.h>

#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "base/status.h"
#include "midi/music_xml_writer.h"

namespace tessavar {
namespace {

constexpr char kLibzip[] = "libzip.so.4";
constexpr char kMediaTypeName[] = "mimetype";
constexpr char kContainerName[] = "META-INF/container.xml";

[[noreturn]] void ThrowArchiveError(const std::string& reason) {
  throw RunTimeError(
      Status(kErrInvalidCall, {}, 0,
             "cannot make the compressed score (" + reason + ")"));
}

// The libzip functions the archive needs, found in the library at the
// first use.
struct Libzip {
  decltype(&zip_error_init) error_init = nullptr;
  decltype(&zip_error_strerror) error_strerror = nullptr;
  decltype(&zip_source_buffer_create) source_buffer_create = nullptr;
  decltype(&zip_open_from_source) open_from_source = nullptr;
  decltype(&zip_source_keep) source_keep = nullptr;
  decltype(&zip_source_buffer) source_buffer = nullptr;
  decltype(&zip_file_add) file_add = nullptr;
  decltype(&zip_set_file_compression) set_file_compression = nullptr;
  decltype(&zip_get_error) get_error = nullptr;
  decltype(&zip_close) close = nullptr;
  decltype(&zip_discard) discard = nullptr;
  decltype(&zip_source_open) source_open = nullptr;
  decltype(&zip_source_stat) source_stat = nullptr;
  decltype(&zip_source_read) source_read = nullptr;
  decltype(&zip_source_close) source_close = nullptr;
  decltype(&zip_source_free) source_free = nullptr;

  static const Libzip& Get() {
    static const Libzip library = Load();
    return library;
  }

  std::string Reason(zip_error_t* error) const { return error_strerror(error); }

 private:
  static Libzip Load() {
    // Kept open for the rest of the process.
    void* handle = dlopen(kLibzip, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) ThrowArchiveError(dlerror());
    Libzip zip;
    Find(handle, "zip_error_init", zip.error_init);
    Find(handle, "zip_error_strerror", zip.error_strerror);
    Find(handle, "zip_source_buffer_create", zip.source_buffer_create);
    Find(handle, "zip_open_from_source", zip.open_from_source);
    Find(handle, "zip_source_keep", zip.source_keep);
    Find(handle, "zip_source_buffer", zip.source_buffer);
    Find(handle, "zip_file_add", zip.file_add);
    Find(handle, "zip_set_file_compression", zip.set_file_compression);
    Find(handle, "zip_get_error", zip.get_error);
    Find(handle, "zip_close", zip.close);
    Find(handle, "zip_discard", zip.discard);
    Find(handle, "zip_source_open", zip.source_open);
    Find(handle, "zip_source_stat", zip.source_stat);
    Find(handle, "zip_source_read", zip.source_read);
    Find(handle, "zip_source_close", zip.source_close);
    Find(handle, "zip_source_free", zip.source_free);
    return zip;
  }

  template <typename Function>
  static void Find(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (function == nullptr) ThrowArchiveError(std::string("no ") + name);
  }
};

// The container that tells a reader where the score lies.
std::string Container() {
  pugi::xml_document document;
  pugi::xml_node container = document.append_child("container");
  pugi::xml_node rootfile =
      container.append_child("rootfiles").append_child("rootfile");
  rootfile.append_attribute("full-path") = kMusicXmlScoreName;
  rootfile.append_attribute("media-type") =
      (std::string(kMusicXmlMediaType) + "+xml").c_str();
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

void AddEntry(const Libzip& zip, zip_t* archive, const char* name,
              const std::string& data, bool stored) {
  zip_source_t* source =
      zip.source_buffer(archive, data.data(), data.size(), 0);
  const zip_int64_t index =
      source == nullptr ? -1
                        : zip.file_add(archive, name, source,
                                       ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
  if (index < 0) {
    if (source != nullptr) zip.source_free(source);
    ThrowArchiveError(zip.Reason(zip.get_error(archive)));
  }
  // The media type comes first and uncompressed, so that it can be
  // recognised from the first bytes.
  if (stored &&
      zip.set_file_compression(archive, static_cast<zip_uint64_t>(index),
                               ZIP_CM_STORE, 0) != 0) {
    ThrowArchiveError(zip.Reason(zip.get_error(archive)));
  }
}

// Fills the archive; discards it on failure.
void AddEntries(const Libzip& zip, zip_t* archive, const std::string& score) {
  const std::string media_type = kMusicXmlMediaType;
  const std::string container = Container();
  try {
    AddEntry(zip, archive, kMediaTypeName, media_type, true);
    AddEntry(zip, archive, kContainerName, container, false);
    AddEntry(zip, archive, kMusicXmlScoreName, score, false);
  } catch (const RunTimeError&) {
    zip.discard(archive);
    throw;
  }
  // The entries' data is read here, while it still lives.
  if (zip.close(archive) != 0) {
    const std::string reason = zip.Reason(zip.get_error(archive));
    zip.discard(archive);
    ThrowArchiveError(reason);
  }
}

}  // namespace

std::string BuildMusicXmlArchive(const std::string& score) {
  const Libzip& zip = Libzip::Get();
  zip_error_t error;
  zip.error_init(&error);
  zip_source_t* buffer = zip.source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) ThrowArchiveError(zip.Reason(&error));
  std::unique_ptr<zip_source_t, decltype(zip.source_free)> owner(
      buffer, zip.source_free);
  zip_t* archive = zip.open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (archive == nullptr) ThrowArchiveError(zip.Reason(&error));
  // The buffer outlives the archive: it holds the bytes after the close.
  zip.source_keep(buffer);
  AddEntries(zip, archive, score);
  zip_stat_t stat;
  if (zip.source_stat(buffer, &stat) != 0 || zip.source_open(buffer) != 0) {
    ThrowArchiveError("the archive cannot be read back");
  }
  std::string bytes(static_cast<size_t>(stat.size), '\0');
  const zip_int64_t read = zip.source_read(buffer, bytes.data(), stat.size);
  zip.source_close(buffer);
  if (read != static_cast<zip_int64_t>(stat.size)) {
    ThrowArchiveError("the archive cannot be read back");
  }
  return bytes;
}

}  // namespace tessavar
