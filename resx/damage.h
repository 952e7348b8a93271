// How the engine tells what it could not read: opening a file, every read
// of it and every conversion give a Read<T>, its value or a Damage (where,
// and what is wrong there). A damage is a few plain fields, made into a
// message only when it is shown: a damaged tree may hold thousands, and the
// walk passes them on without allocating. The engine never throws; the
// window and the command line take the value with Value() (or Check() a
// Damage), which raises the message as EExeError: the one place a damage
// becomes an exception.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

class EExeError : public std::runtime_error {
 public:
  explicit EExeError(const std::string& message) : std::runtime_error(message) {}
};

enum class Flaw : std::uint8_t {
  None,
  Outside,         // `what` at `at` lies outside the file
  Shorter,         // the file was cut short since it was opened
  Unmapped,        // the part of the file at `at` could not be mapped
  BeforeSection,   // resource data at RVA `at` lies before its section
  EmptyDirectory,  // a directory that a leaf leads through is empty
  ContainsItself,  // the directory at `at` is its own ancestor
  ListedAlready,   // the directory at `at` is listed under another entry
  NestsTooDeep,    // directories nest deeper than any compiler makes them
  TooMany,         // more items than TExeImage::kMaxItems
  NotAList,        // a sub-list asked of a leaf
  NoLanguages,     // languages asked of an item without a language directory
  NoResources,     // the file has no resource section
  BitmapHeader,    // a bitmap's header is none this reader knows
  BitmapData,      // a bitmap's pixels do not fit its data
  IconImage,       // an icon image that cannot be decoded
  PngWrite,        // libpng could not write a picture (out of memory)
  Data,            // `what` is wrong in a resource's data
  EndsEarly,       // `what`, a resource's data, ends early
  NoEnd,           // a text in `what` has no end
  CannotOpen,      // the file `what` names cannot be opened
  EmptyFile,       // the file holds no byte to map
  NotMz,           // the file does not begin as a program
  NotPe,           // the program is no PE (WIN32) file
  NotPicture,      // a `what` (its class) has no picture
  NotLines,        // a `what` (its class) has no lines
  NoListing,       // the resource has no listing
};

struct [[nodiscard]] Damage {
  Flaw flaw = Flaw::None;
  std::uint64_t at = 0;  // file offset (an RVA for BeforeSection)
  // a static text; of CannotOpen the image's file name, which lives as
  // long as its image
  const char* what = "";

  bool Found() const { return flaw != Flaw::None; }
  std::string Message() const;
  // EExeError with the message, when there is damage.
  void Check() const;
};

// A value, or the damage that kept it from being read. Where a function
// says so, the value is also what was read before the damage.
template <class T>
struct Read {
  Read(T v) : value(std::move(v)) {}  // NOLINT: a value is a whole read
  Read(Damage d) : damage(d) {}       // NOLINT: so is a damage
  Read(T v, Damage d) : value(std::move(v)), damage(d) {}

  explicit operator bool() const { return !damage.Found(); }
  const T& operator*() const { return value; }
  const T* operator->() const { return &value; }
  // The value; EExeError with the damage's message when there is none.
  // A copy, not a reference: it is asked of temporaries.
  T Value() const {
    damage.Check();
    return value;
  }

  T value{};
  Damage damage;
};
