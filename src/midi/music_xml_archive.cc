// The compressed MusicXML score, made in memory with libzip.
#include <zip.h>

#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "base/status.h"
#include "midi/music_xml_writer.h"

namespace tessavar {
namespace {

constexpr char kMediaTypeName[] = "mimetype";
constexpr char kContainerName[] = "META-INF/container.xml";

[[noreturn]] void ThrowArchiveError(zip_error_t* error) {
  const std::string reason = zip_error_strerror(error);
  throw RunTimeError(
      Status(kErrInvalidCall, {}, 0,
             "cannot make the compressed score (" + reason + ")"));
}

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

void AddEntry(zip_t* archive, const char* name, const std::string& data,
              bool stored) {
  zip_source_t* source =
      zip_source_buffer(archive, data.data(), data.size(), 0);
  const zip_int64_t index =
      source == nullptr ? -1
                        : zip_file_add(archive, name, source,
                                       ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
  if (index < 0) {
    if (source != nullptr) zip_source_free(source);
    ThrowArchiveError(zip_get_error(archive));
  }
  // The media type comes first and uncompressed, so that it can be
  // recognised from the first bytes.
  if (stored &&
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                               ZIP_CM_STORE, 0) != 0) {
    ThrowArchiveError(zip_get_error(archive));
  }
}

}  // namespace

std::string BuildMusicXmlArchive(const std::string& score) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) ThrowArchiveError(&error);
  std::unique_ptr<zip_source_t, decltype(&zip_source_free)> owner(
      buffer, &zip_source_free);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (archive == nullptr) ThrowArchiveError(&error);
  // The buffer outlives the archive: it holds the bytes after the close.
  zip_source_keep(buffer);
  const std::string media_type = kMusicXmlMediaType;
  const std::string container = Container();
  try {
    AddEntry(archive, kMediaTypeName, media_type, true);
    AddEntry(archive, kContainerName, container, false);
    AddEntry(archive, kMusicXmlScoreName, score, false);
  } catch (...) {
    zip_discard(archive);
    throw;
  }
  if (zip_close(archive) != 0) {
    zip_error_set(&error, zip_error_code_zip(zip_get_error(archive)), 0);
    zip_discard(archive);
    ThrowArchiveError(&error);
  }
  zip_stat_t stat;
  if (zip_source_open(buffer) != 0 || zip_source_stat(buffer, &stat) != 0) {
    ThrowArchiveError(zip_source_error(buffer));
  }
  std::string bytes(static_cast<size_t>(stat.size), '\0');
  const zip_int64_t read = zip_source_read(buffer, bytes.data(), stat.size);
  zip_source_close(buffer);
  if (read != static_cast<zip_int64_t>(stat.size)) {
    ThrowArchiveError(zip_source_error(buffer));
  }
  return bytes;
}

}  // namespace tessavar
