// The C interface's calls on snapshots, windows and layouts, which build on
// every system; the watcher's are Windows' (capi_watcher.cpp).
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <exception>

#include "calls.h"
#include "vantrel/displays/apply.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/displays/json.h"
#include "vantrel/displays/json_writer.h"
#include "vantrel/displays/layout.h"
#include "vantrel/displays/layout_json.h"
#include "vantrel/displays/mode_change.h"
#include "vantrel/displays/modes.h"

// ---- The exported functions -------------------------------------------------

using namespace vantrel;
using namespace vantrel::capi;

namespace {

static_assert(VANTREL_CONNECTION_UNKNOWN == static_cast<int>(Connection::kUnknown) &&
              VANTREL_CONNECTION_INTERNAL == static_cast<int>(Connection::kInternal) &&
              VANTREL_CONNECTION_HDMI == static_cast<int>(Connection::kHdmi) &&
              VANTREL_CONNECTION_DISPLAYPORT == static_cast<int>(Connection::kDisplayPort) &&
              VANTREL_CONNECTION_DVI == static_cast<int>(Connection::kDvi) &&
              VANTREL_CONNECTION_VGA == static_cast<int>(Connection::kVga) &&
              VANTREL_CONNECTION_OTHER == static_cast<int>(Connection::kOther));

vantrel_rect ToC(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

vantrel_display ToC(const Display& d) {
  vantrel_display c{};
  c.number = d.number;
  c.monitor = reinterpret_cast<void*>(d.handle);
  c.device_name = d.device_name.c_str();
  c.name = d.name.c_str();
  c.key = d.key.c_str();
  c.mode_count = d.modes.size();
  c.primary = d.primary ? 1 : 0;
  c.bounds = ToC(d.bounds);
  c.work_area = ToC(d.work_area);
  c.dpi = d.dpi;
  c.scale = d.scale();
  if (d.physical_size) {
    c.physical_width_mm = d.physical_size->width;
    c.physical_height_mm = d.physical_size->height;
  }
  c.orientation = d.orientation;
  c.bits_per_pixel = d.bits_per_pixel;
  c.refresh_numerator = d.refresh_rate.numerator;
  c.refresh_denominator = d.refresh_rate.denominator;
  c.refresh_hertz = d.refresh_rate.hertz();
  c.connection = static_cast<std::int32_t>(d.connection);
  c.current_width = d.current_mode.width;
  c.current_height = d.current_mode.height;
  c.current_bits_per_pixel = d.current_mode.bits_per_pixel;
  c.current_frequency = d.current_mode.frequency;
  c.clone_count = d.clones.size();
  return c;
}

// `what` (a display, a display's mode or clone) number `index` of `count`.
vantrel_status CheckIndex(const char* what, std::size_t index, std::size_t count) noexcept {
  if (index < count) return VANTREL_OK;
  return Report(VANTREL_ERROR_OUT_OF_RANGE, "%s %llu of %llu", what,
                static_cast<unsigned long long>(index), static_cast<unsigned long long>(count));
}
vantrel_status CheckIndex(const Displays& displays, std::size_t index) noexcept {
  return CheckIndex("display", index, displays.size());
}

// The C values are Fallback's own, in its order.
static_assert(VANTREL_FALLBACK_NONE == static_cast<int>(Fallback::kNone) &&
              VANTREL_FALLBACK_NEAREST == static_cast<int>(Fallback::kNearest) &&
              VANTREL_FALLBACK_PRIMARY == static_cast<int>(Fallback::kPrimary));
vantrel_status ToFallback(std::int32_t fallback, Fallback& out) noexcept {
  if (fallback < VANTREL_FALLBACK_NONE || fallback > VANTREL_FALLBACK_PRIMARY) {
    return Report(VANTREL_ERROR_INVALID_ARGUMENT, "%d is no fallback", static_cast<int>(fallback));
  }
  out = static_cast<Fallback>(fallback);
  return VANTREL_OK;
}

// A lookup's answer: the display's index, or VANTREL_NOT_FOUND.
vantrel_status Found(const Displays& displays, const Display* display, std::size_t* index) {
  if (!display) {
    *index = VANTREL_NO_DISPLAY;
    return VANTREL_NOT_FOUND;
  }
  *index = static_cast<std::size_t>(display - &displays[0]);
  return VANTREL_OK;
}

// A lookup on a snapshot: the handle, the index and the fallback checked,
// then `find(displays, fallback)` gives the display found, or null.
template <class Find>
vantrel_status Lookup(const char* function, const vantrel_snapshot* handle, std::int32_t fallback,
                      std::size_t* index, Find&& find) noexcept {
  return RunOnSnapshot(function, handle, [&](const Snapshot& s) {
    if (!index) return Null("index");
    Fallback chosen{};
    if (const vantrel_status status = ToFallback(fallback, chosen)) return status;
    return Found(s.displays(), find(s.displays(), chosen), index);
  });
}

vantrel_status Window(void* window) noexcept { return window ? VANTREL_OK : Null("window"); }

vantrel_status NoModeChange(const vantrel_mode_change* handle) noexcept {
  return Report(VANTREL_ERROR_BAD_HANDLE, "the mode change %p was never given or is freed",
                static_cast<const void*>(handle));
}

// Puts a change back, its failure as a status.
vantrel_status Restore(ModeChange& change) {
  const Result<void> done = PerMonitorAware([&] { return change.Restore(); });
  return done ? VANTREL_OK : Failed(done.error());
}

// A caller's layout text read; text that is no layout is
// VANTREL_ERROR_INVALID_ARGUMENT with LayoutFromJson's line and field.
vantrel_status ReadLayout(const char* text, Layout& layout) {
  Result<Layout> read = LayoutFromJson(text);
  if (!read) return Failed(read.error());
  layout = std::move(read).value();
  return VANTREL_OK;
}

// The plan as vantrel_layout_plan documents it: each change with Describe's
// line for it.
std::string PlanJson(const LayoutPlan& plan) {
  const std::vector<std::string> lines = Describe(plan);
  json::Writer j(true);
  j.Begin('{');
  j.Key("schema").Text("vantrel-layout-plan");
  j.Key("version").Number(1);
  j.Key("changes").Begin('[');
  for (std::size_t k = 0; k < plan.changes.size(); ++k) {
    const LayoutChange& c = plan.changes[k];
    j.Begin('{');
    j.Key("adapter").Text(c.adapter);
    j.Key("key").Text(c.key);
    j.Key("description").Text(lines[k]);
    j.Key("before");
    json::WriteLayoutDisplay(j, c.before);
    j.Key("after");
    json::WriteLayoutDisplay(j, c.after);
    j.End('}');
  }
  j.End(']');
  j.End('}');
  return j.Take() + "\n";
}

}  // namespace

extern "C" {

uint32_t vantrel_version(void) {
  return VANTREL_VERSION_MAJOR * 10000 + VANTREL_VERSION_MINOR * 100 + VANTREL_VERSION_PATCH;
}

uint32_t vantrel_abi_version(void) { return VANTREL_ABI_VERSION; }

vantrel_status vantrel_snapshot_take(const vantrel_snapshot_options* options,
                                     vantrel_snapshot** snapshot) {
  return Run(__func__, [&] {
    if (!snapshot) return Null("snapshot");
    *snapshot = nullptr;
    if (options) {
      if (const vantrel_status s = CheckSize(options, "the options")) return s;
    }
    // Null and zeroed options alike: every fact, modes included.
    const vantrel_snapshot_options chosen_options =
        ReadIn(options, vantrel_snapshot_options{kAbiSize<vantrel_snapshot_options>, 0});
    GiveSnapshot(PerMonitorAware(
                     [&] { return Displays::Take({.modes = chosen_options.without_modes == 0}); }),
                 snapshot);
    return VANTREL_OK;
  });
}

vantrel_status vantrel_snapshot_free(vantrel_snapshot* snapshot) {
  return Run(__func__, [&] {
    if (!snapshot) return VANTREL_OK;
    if (LiveHandles().Remove(snapshot, Kind::kSnapshot)) return VANTREL_OK;
    return Report(VANTREL_ERROR_BAD_HANDLE, "the snapshot %p was never given or is freed",
                  static_cast<void*>(snapshot));
  });
}

vantrel_status vantrel_snapshot_count(const vantrel_snapshot* snapshot, size_t* count) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!count) return Null("count");
    *count = s.displays().size();
    return VANTREL_OK;
  });
}

vantrel_status vantrel_snapshot_display(const vantrel_snapshot* snapshot, size_t index,
                                        vantrel_display* display) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!display) return Null("display");
    if (const vantrel_status status = CheckSize(display, "the display")) return status;
    if (const vantrel_status status = CheckIndex(s.displays(), index)) return status;
    WriteOut(ToC(s.displays()[index]), display);
    return VANTREL_OK;
  });
}

vantrel_status vantrel_snapshot_mode(const vantrel_snapshot* snapshot, size_t display_index,
                                     size_t mode_index, vantrel_mode* mode) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!mode) return Null("mode");
    if (const vantrel_status status = CheckSize(mode, "the mode")) return status;
    if (const vantrel_status status = CheckIndex(s.displays(), display_index)) return status;
    const std::vector<DisplayMode>& modes = s.displays()[display_index].modes;
    if (const vantrel_status status = CheckIndex("mode", mode_index, modes.size())) return status;
    const DisplayMode& m = modes[mode_index];
    WriteOut(vantrel_mode{0, m.width, m.height, m.bits_per_pixel, m.frequency}, mode);
    return VANTREL_OK;
  });
}

vantrel_status vantrel_snapshot_clone(const vantrel_snapshot* snapshot, size_t display_index,
                                      size_t clone_index, vantrel_clone* clone) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!clone) return Null("clone");
    if (const vantrel_status status = CheckSize(clone, "the clone")) return status;
    if (const vantrel_status status = CheckIndex(s.displays(), display_index)) return status;
    const std::vector<Clone>& clones = s.displays()[display_index].clones;
    if (const vantrel_status status = CheckIndex("clone", clone_index, clones.size()))
      return status;
    const Clone& c = clones[clone_index];
    WriteOut(vantrel_clone{0, c.name.c_str(), c.key.c_str()}, clone);
    return VANTREL_OK;
  });
}

vantrel_status vantrel_snapshot_closest_mode(const vantrel_snapshot* snapshot, size_t display_index,
                                             const vantrel_mode* wanted, vantrel_mode* mode) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!mode) return Null("mode");
    if (const vantrel_status status = CheckSize(mode, "the mode")) return status;
    if (wanted) {
      if (const vantrel_status status = CheckSize(wanted, "the wanted mode")) return status;
    }
    if (const vantrel_status status = CheckIndex(s.displays(), display_index)) return status;
    // Null and zeroed alike: the mode in use.
    const vantrel_mode w = ReadIn(wanted, vantrel_mode{kAbiSize<vantrel_mode>, 0, 0, 0, 0});
    const std::optional<DisplayMode> chosen = ClosestMode(
        s.displays()[display_index], {w.width, w.height, w.bits_per_pixel, w.frequency});
    const DisplayMode m = chosen.value_or(DisplayMode{});
    WriteOut(vantrel_mode{0, m.width, m.height, m.bits_per_pixel, m.frequency}, mode);
    return chosen ? VANTREL_OK : VANTREL_NOT_FOUND;
  });
}

vantrel_status vantrel_snapshot_primary(const vantrel_snapshot* snapshot, size_t* index) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!index) return Null("index");
    return Found(s.displays(), s.displays().Primary(), index);
  });
}

vantrel_status vantrel_snapshot_at_point(const vantrel_snapshot* snapshot, int32_t x, int32_t y,
                                         int32_t fallback, size_t* index) {
  return Lookup(__func__, snapshot, fallback, index, [&](const Displays& d, Fallback f) {
    return d.AtPoint({x, y}, f);
  });
}

vantrel_status vantrel_snapshot_of_rect(const vantrel_snapshot* snapshot, int32_t left, int32_t top,
                                        int32_t right, int32_t bottom, int32_t fallback,
                                        size_t* index) {
  return Lookup(__func__, snapshot, fallback, index, [&](const Displays& d, Fallback f) {
    return d.OfRect({left, top, right, bottom}, f);
  });
}

vantrel_status vantrel_snapshot_of_window(const vantrel_snapshot* snapshot, void* window,
                                          int32_t fallback, size_t* index) {
  if (!window) return Run(__func__, [] { return Null("window"); });
  return Lookup(__func__, snapshot, fallback, index, [&](const Displays& d, Fallback f) {
    return PerMonitorAware([&] { return d.OfWindow(static_cast<HWND__*>(window), f); });
  });
}

vantrel_status vantrel_snapshot_find_key(const vantrel_snapshot* snapshot, const char* key,
                                         size_t* index) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!key) return Null("key");
    if (!index) return Null("index");
    return Found(s.displays(), s.displays().FindByKey(key), index);
  });
}

vantrel_status vantrel_snapshot_json(const vantrel_snapshot* snapshot, char* buffer,
                                     size_t capacity, size_t* size) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    return GiveText(s.Json(), "the JSON", buffer, capacity, size);
  });
}

vantrel_status vantrel_placement_fit(const vantrel_snapshot* snapshot, const char* text,
                                     vantrel_placed* placed) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!placed) return Null("placed");
    if (const vantrel_status status = CheckSize(placed, "placed")) return status;
    WindowPlacement saved;
    if (const vantrel_status status = ReadPlacement(text, saved)) return status;
    const Displays& displays = s.displays();
    const Placed fit = Fit(saved, displays);
    vantrel_placed out{};
    out.maximized = fit.state == WindowState::kMaximized ? 1 : 0;
    out.bounds = ToC(fit.bounds);
    std::size_t index = VANTREL_NO_DISPLAY;
    const vantrel_status status = Found(displays, fit.display, &index);
    out.display = index;
    WriteOut(out, placed);
    return status;
  });
}

vantrel_status vantrel_centre_window(const vantrel_snapshot* snapshot, size_t index, void* window) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (const vantrel_status status = Window(window)) return status;
    if (const vantrel_status status = CheckIndex(s.displays(), index)) return status;
    const Result<void> done = PerMonitorAware(
        [&] { return CentreWindow(static_cast<HWND__*>(window), s.displays()[index]); });
    return done ? VANTREL_OK : Failed(done.error());
  });
}

vantrel_status vantrel_placement_save(void* window, char* buffer, size_t capacity, size_t* size) {
  return Run(__func__, [&] {
    if (const vantrel_status status = Window(window)) return status;
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    const Result<WindowPlacement> saved =
        PerMonitorAware([&] { return SavePlacement(static_cast<HWND__*>(window)); });
    if (!saved) return Failed(saved.error());
    return GiveText(ToText(*saved), "the place", buffer, capacity, size);
  });
}

vantrel_status vantrel_placement_restore(void* window, const char* text) {
  return Run(__func__, [&] {
    if (const vantrel_status status = Window(window)) return status;
    WindowPlacement saved;
    if (const vantrel_status status = ReadPlacement(text, saved)) return status;
    const Result<void> done =
        PerMonitorAware([&] { return RestorePlacement(static_cast<HWND__*>(window), saved); });
    return done ? VANTREL_OK : Failed(done.error());
  });
}

vantrel_status vantrel_window_ensure_visible(void* window, int32_t* moved) {
  return Run(__func__, [&] {
    if (const vantrel_status status = Window(window)) return status;
    if (moved) *moved = 0;
    const Result<Visibility> seen =
        PerMonitorAware([&] { return EnsureVisible(static_cast<HWND__*>(window)); });
    if (!seen) return Failed(seen.error());
    if (moved) *moved = *seen == Visibility::kMoved ? 1 : 0;
    return VANTREL_OK;
  });
}

vantrel_status vantrel_mode_change_set(const vantrel_snapshot* snapshot, size_t display_index,
                                       const vantrel_mode* mode, vantrel_mode_change** change) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (!mode) return Null("mode");
    if (!change) return Null("change");
    *change = nullptr;
    if (const vantrel_status status = CheckSize(mode, "the mode")) return status;
    if (const vantrel_status status = CheckIndex(s.displays(), display_index)) return status;
    const vantrel_mode m = ReadIn(mode, vantrel_mode{});
    Result<ModeChange> set = PerMonitorAware([&] {
      return ModeChange::Set(s.displays()[display_index],
                             {m.width, m.height, m.bits_per_pixel, m.frequency});
    });
    if (!set) return Failed(set.error());
    // Should memory run out from here, the change ends and puts the mode back.
    auto owned = std::make_shared<ModeChange>(std::move(set).value());
    *change =
        static_cast<vantrel_mode_change*>(LiveHandles().Add(Kind::kModeChange, std::move(owned)));
    return VANTREL_OK;
  });
}

vantrel_status vantrel_mode_change_restore(vantrel_mode_change* change) {
  return Run(__func__, [&] {
    if (!change) return Null("change");
    const auto c =
        std::static_pointer_cast<ModeChange>(LiveHandles().Find(change, Kind::kModeChange));
    return c ? Restore(*c) : NoModeChange(change);
  });
}

vantrel_status vantrel_mode_change_free(vantrel_mode_change* change) {
  return Run(__func__, [&] {
    if (!change) return VANTREL_OK;
    // Out of the table first; a call still running on it keeps the object,
    // whose end tries again should this restore fail.
    const auto c =
        std::static_pointer_cast<ModeChange>(LiveHandles().Remove(change, Kind::kModeChange));
    return c ? Restore(*c) : NoModeChange(change);
  });
}

vantrel_status vantrel_layout_json(char* buffer, size_t capacity, size_t* size) {
  return Run(__func__, [&] {
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    const std::string text = ToJson(PerMonitorAware([] { return TakeLayout(); }));
    return GiveText(text, "the layout", buffer, capacity, size);
  });
}

vantrel_status vantrel_snapshot_layout_json(const vantrel_snapshot* snapshot, char* buffer,
                                            size_t capacity, size_t* size) {
  return RunOnSnapshot(__func__, snapshot, [&](const Snapshot& s) {
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    return GiveText(ToJson(LayoutOf(s.displays())), "the layout", buffer, capacity, size);
  });
}

vantrel_status vantrel_layout_plan(const char* layout_json, char* buffer, size_t capacity,
                                   size_t* size) {
  return Run(__func__, [&] {
    if (!layout_json) return Null("layout_json");
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    Layout wanted;
    if (const vantrel_status status = ReadLayout(layout_json, wanted)) return status;
    const Result<LayoutPlan, Refusal> plan = PerMonitorAware([&] { return Plan(wanted); });
    if (!plan) return Failed(AsError(plan.error()));
    return GiveText(PlanJson(*plan), "the plan", buffer, capacity, size);
  });
}

vantrel_status vantrel_layout_apply(const char* layout_json) {
  return Run(__func__, [&] {
    if (!layout_json) return Null("layout_json");
    Layout wanted;
    if (const vantrel_status status = ReadLayout(layout_json, wanted)) return status;
    return Ended(PerMonitorAware([&] { return ApplyLayout(wanted); }));
  });
}

vantrel_status vantrel_layout_revert(void) {
  return Run(__func__, [] {
    const Result<ChangeOutcome> done = PerMonitorAware([] { return Revert(); });
    return done ? Ended(*done) : Failed(done.error());
  });
}

}  // extern "C"
