-- Inserts the VST3 plug-in on a track of a running dummy engine, chooses the factory preset
-- "Low & Dark" as from Ardour's preset menu, with no editor open, and prints the values
-- Ardour's own controls hold for Decay, Damp and Transpose before and half a second after.
-- Run by scripts/test-real-hosts.sh with ardour7-lua; the script returning at all shows that
-- Ardour did not lock up in its preset call. With FORMAT=LV2 it inserts the LV2 plug-in
-- instead, whose controls hold percent.
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_device_name("Silence")
create_session(os.getenv("SESSION_DIR"), "presets", 48000)
local t = Session:new_audio_track(2, 2, nil, 1, "fx", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local p
if os.getenv("FORMAT") == "LV2" then
  p = ARDOUR.LuaAPI.new_plugin(Session, "https://qza-tonefold.com/plugins/chordwell", ARDOUR.PluginType.LV2, "")
else
  p = ARDOUR.LuaAPI.new_plugin(Session, "QZA Chordwell", ARDOUR.PluginType.VST3, "")
end
assert(not p:isnil(), "plug-in not found")
t:add_processor_by_index(p, 0, nil, true)
local plugin = p:to_insert():plugin(0)
local function show(when)
  local values = {}
  for _, n in ipairs({2, 3, 4}) do
    values[#values + 1] = string.format("%.4f", ARDOUR.LuaAPI.get_processor_param(p, n, true))
  end
  print("PRESET " .. when .. " " .. table.concat(values, " "))
end
show("before")
local chosen = plugin:preset_by_label("Low & Dark")
assert(chosen, "no factory preset Low & Dark")
assert(plugin:load_preset(chosen), "preset not loaded")
ARDOUR.LuaAPI.usleep(500000)
show("after")
