// Resources as text listings a person reads, each with a JSON form for
// scripts: string tables and menus as the window shows them, dialogs,
// accelerators, message tables, version information and manifests.
//
// A conversion parses the data (parsed_resources.h), then prints what it
// read as lines and JSON. Damaged data gives its damage after what was read
// before it was printed, for the caller to show beside the error.
#pragma once

#include <cstdint>
#include <string>

#include "resx/ExeImage.h"
#include "resx/json_writer.h"

// RT_MANIFEST: beyond the codes TResourceType names.
inline constexpr std::uint32_t rtManifest = 24;

struct TListing {
  TStrings lines;
  // An object with the resource's "type" and what the conversion read; left
  // open for ListingJson to close.
  JsonWriter json;
};

// String tables, menus, dialogs, accelerators, message tables, version
// information and manifests have a listing.
bool HasListing(std::uint32_t typeCode);
// Flaw::NoListing for a list or a leaf of any other type.
Damage ListResource(TResourceItem& item, TListing& out);
// The listing's JSON document, closed; with "error", the damage's message,
// when the data was damaged.
std::string ListingJson(TListing& listing, Damage damage);

// The conversions, over a leaf's data.
Damage ListVersionInfo(Bytes data, TListing& out);
Damage ListManifest(Bytes data, TListing& out);
Damage ListAccelerators(Bytes data, TListing& out);
Damage ListDialog(Bytes data, TListing& out);
Damage ListMessageTable(Bytes data, TListing& out);
