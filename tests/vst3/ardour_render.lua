-- Records a little white noise from the dummy engine on a stereo track, inserts the VST3
-- plug-in, and bounces the track twice: up to the plug-in (its input) and through it (its
-- output), with Decay 0.7 and Damp 0.1. Prints the bounced files. Run by scripts/test-real-hosts.sh with ardour7-lua.
-- With FORMAT=LV2 it inserts the LV2 plug-in instead, whose ports take the same values in percent.
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_device_name("Uniform White Noise")
create_session(os.getenv("SESSION_DIR"), "render", 48000)
local t = Session:new_audio_track(2, 2, nil, 1, "rec", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
t:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
Session:maybe_enable_record(false)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(2000000)
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(1000000)
Session:disable_record(false, false)
t:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
local len = 0
for r in t:playlist():region_list():iter() do len = r:length():samples() end
assert(len > 0, "nothing recorded")

local lv2 = os.getenv("FORMAT") == "LV2"
local p
if lv2 then
  p = ARDOUR.LuaAPI.new_plugin(Session, "https://qza-tonefold.com/plugins/chordwell", ARDOUR.PluginType.LV2, "")
else
  p = ARDOUR.LuaAPI.new_plugin(Session, "QZA Chordwell", ARDOUR.PluginType.VST3, "")
end
assert(not p:isnil(), "plug-in not found")
t:add_processor_by_index(p, 0, nil, true)
-- Decay and Damp set through the host, as from its own controls: rings longer, brighter.
ARDOUR.LuaAPI.set_processor_param(p, 2, lv2 and 70 or 0.7)
ARDOUR.LuaAPI.set_processor_param(p, 3, lv2 and 10 or 0.1)
ARDOUR.LuaAPI.usleep(200000)

local function bounce(endpoint, include, name)
  local region = t:bounce_range(0, len, ARDOUR.InterThreadInfo(), endpoint, include, name)
  for c = 0, 1 do print("BOUNCE " .. name .. " " .. c .. " " .. region:source(c):to_filesource():path()) end
end
bounce(p, false, "input")
bounce(t:main_outs(), false, "output")
Session:save_state("", false, false, false, false, false)
