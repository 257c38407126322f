// Which question a point of the drawing asks: the click zones first, in key order, then
// the palette colour of the pixel shown under the pointer. A classic script: it defines
// globalThis.VirekaHitTest, and runs the same under Node for checks.
(function (root) {
  "use strict";

  const GRID_WIDTH = 2400;
  const GRID_HEIGHT = 1800;

  // Halves go to the even neighbour, as every conversion to a whole number of the desktop.
  function roundHalfEven(v) {
    const f = Math.floor(v);
    const d = v - f;
    if (d > 0.5) return f + 1;
    if (d < 0.5) return f;
    return f % 2 === 0 ? f : f + 1;
  }

  // The zone-grid position of a point of an area w x h (any unit, the same as x and y).
  function zonePosition(x, y, w, h) {
    return [Math.floor((GRID_WIDTH / Math.max(1, w)) * x),
            Math.floor((GRID_HEIGHT / Math.max(1, h)) * y)];
  }

  // The palette code of a colour 0x00BBGGRR: an equal entry first (the first one wins),
  // else the nearest by the distance of blue, green and red, ties to the lower entry.
  function nearestCode(palette, colour) {
    for (const entry of palette) if (entry.colour === colour) return entry.code;
    const red = colour & 255, green = (colour >> 8) & 255, blue = (colour >> 16) & 255;
    let best = 65535;
    let code = "";
    for (const entry of palette) {
      const [b, g, r] = entry.bgr;
      const distance = Math.sqrt((b - blue) ** 2 + (g - green) ** 2 + (r - red) ** 2);
      if (best > distance) {
        best = distance;
        code = entry.code;
      }
    }
    return code;
  }

  function conditionsHold(zone, choice) {
    for (const s of zone.when) if (!(s >= 0 && s < choice.length && choice[s] === 1)) return false;
    return true;
  }

  // The zone stage: {object} when a zone decides (object -1 when its question does not
  // exist: the colour decides then), null when no zone counts at the point.
  // objectIndex(key) gives a question's index or -1.
  function zoneStage(zones, objectIndex, choice, frames, zoneX, zoneY) {
    let currentFrame = -1;
    for (const z of zones) {
      if (!conditionsHold(z, choice)) continue;
      if (z.frame === currentFrame) continue;
      // A frame row that is not hit hides the rows of its frame that follow it.
      if (!z.testFrame) currentFrame = z.frame;
      if (!(z.x1 < zoneX && zoneX < z.x2 && z.y1 < zoneY && zoneY < z.y2)) continue;
      if (z.testFrame) {
        const open = z.frame >= 0 && z.frame < frames.length && frames[z.frame] !== 0;
        if (!open) continue;
      }
      return { object: objectIndex(z.object), key: z.object };
    }
    return null;
  }

  // The whole search: {found, object, key, colourStage}. pixelColour() is asked only when
  // the colour decides; it returns 0x00BBGGRR or null outside the drawing.
  function findObject(assets, objectIndex, choice, frames, zoneX, zoneY, pixelColour) {
    const zone = zoneStage(assets.zones || [], objectIndex, choice, frames, zoneX, zoneY);
    if (zone && zone.object >= 0) return { found: true, object: zone.object, key: zone.key,
                                           colourStage: false };
    const colour = pixelColour();
    const hit = { found: false, object: -1, key: "", colourStage: true };
    if (colour === null) return hit;
    hit.key = nearestCode(assets.palette || [], colour);
    if (hit.key === "") return hit;
    hit.object = objectIndex(hit.key);
    hit.found = hit.object >= 0;
    return hit;
  }

  root.VirekaHitTest = Object.freeze({
    GRID_WIDTH, GRID_HEIGHT, roundHalfEven, zonePosition, nearestCode, zoneStage, findObject,
  });
})(globalThis);
