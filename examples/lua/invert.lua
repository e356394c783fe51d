-- Invert: every colour becomes its opposite; alpha is kept.
-- Escape stops the filter and leaves the layer as it was.
for y = bound_y0, bound_y1 do
  for x = bound_x0, bound_x1 do
    local r, g, b = get_rgb(x, y)
    set_rgb(x, y, 1 - r, 1 - g, 1 - b)
  end
  if is_escape() == 1 then error("cancelled") end
end
