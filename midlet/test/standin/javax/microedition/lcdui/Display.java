package javax.microedition.lcdui;

import java.util.IdentityHashMap;
import java.util.Map;
import javax.microedition.midlet.MIDlet;

/** Desktop stand-in: remembers what is current and the last alert shown. */
public class Display {
  private static final Map<MIDlet, Display> displays = new IdentityHashMap<>();
  private Displayable current;
  private Alert lastAlert;

  public static Display getDisplay(MIDlet m) {
    return displays.computeIfAbsent(m, k -> new Display());
  }

  public boolean isColor() {
    return true;
  }

  public int numColors() {
    return 1 << 16;
  }

  public Displayable getCurrent() {
    return current;
  }

  public void setCurrent(Displayable d) {
    if (d instanceof Alert) {
      lastAlert = (Alert) d;
    } else {
      current = d;
    }
  }

  public void setCurrent(Alert alert, Displayable next) {
    lastAlert = alert;
    current = next;
  }

  public void callSerially(Runnable r) {
    r.run();
  }

  /** The last alert shown, and forgets it. */
  public Alert takeAlert() {
    Alert a = lastAlert;
    lastAlert = null;
    return a;
  }
}
