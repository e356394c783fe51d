-- Colour grade in HSL: an S-shaped lightness curve, more saturation and a hue
-- turn. With every slider at 0 the image keeps its colours.
--   slider 1: contrast of the lightness curve (0 none, 1 full smoothstep)
--   slider 2: extra saturation (0 none, 1 doubles it)
--   slider 3: hue turn as a share of the colour wheel
--   flag 1:   grade only where the selection mask is open
local contrast = sliderVal1
local saturation = 1 + sliderVal2
local turn = sliderVal3 * 360

local function curve(l)
  local s = l * l * (3 - 2 * l)
  return l + (s - l) * contrast
end

for y = 0, height - 1 do
  for x = 0, width - 1 do
    local h, s, l = get_hsl(x, y)
    local weight = flagVal1 and get_mask(x, y) or 1
    if weight > 0 then
      h = (h + turn * weight) % 360
      s = s * (1 + (saturation - 1) * weight)
      l = l + (curve(l) - l) * weight
      set_hsl(x, y, h, s, l)
    end
  end
  progress(y / height)
end
