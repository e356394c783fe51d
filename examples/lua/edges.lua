-- Edges: the picture turns grey in place, then each pixel becomes the strength
-- of the grey gradient around it (a Sobel operator).
--   slider 1: gain (0 plain, 1 five times brighter)
--   flag 1:   dark lines on white instead of light lines on black
--
-- Single-buffer mode lets the second pass read the grey picture the first
-- pass wrote. The second pass overwrites row y while row y + 1 still needs it,
-- so the grey of the rows above and at y is kept in two tables.
single_buffer(true)

local w, h = width, height
for y = 0, h - 1 do
  for x = 0, w - 1 do
    set_value(x, y, get_value(x, y))
  end
end

local gain = (1 + sliderVal1 * 4) / 4
local above, current = {}, {}
for x = 0, w - 1 do above[x] = get_value(x, 0) end

for y = 0, h - 1 do
  for x = 0, w - 1 do current[x] = get_value(x, y) end
  local below = {}
  for x = 0, w - 1 do below[x] = y + 1 < h and get_value(x, y + 1) or current[x] end
  for x = 0, w - 1 do
    local l, r = math.max(x - 1, 0), math.min(x + 1, w - 1)
    local gx = (above[r] + 2 * current[r] + below[r]) - (above[l] + 2 * current[l] + below[l])
    local gy = (below[l] + 2 * below[x] + below[r]) - (above[l] + 2 * above[x] + above[r])
    local e = math.sqrt(gx * gx + gy * gy) * gain
    if flagVal1 then e = 1 - e end
    set_value(x, y, e)
  end
  above, current = current, above
end
