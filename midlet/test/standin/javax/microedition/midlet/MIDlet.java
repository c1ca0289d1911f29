package javax.microedition.midlet;

import java.util.HashMap;
import java.util.Map;

/** Desktop stand-in: the tests start and stop a midlet through the static helpers. */
public abstract class MIDlet {
  /** The application properties (JAD and manifest attributes) that getAppProperty answers. */
  public static final Map<String, String> properties = new HashMap<>();
  private boolean destroyed;

  protected MIDlet() {}

  protected abstract void startApp() throws MIDletStateChangeException;

  protected abstract void pauseApp();

  protected abstract void destroyApp(boolean unconditional) throws MIDletStateChangeException;

  public final void notifyDestroyed() {
    destroyed = true;
  }

  public final void notifyPaused() {}

  public final void resumeRequest() {}

  public final String getAppProperty(String key) {
    return properties.get(key);
  }

  public boolean isDestroyed() {
    return destroyed;
  }

  public static void start(MIDlet m) throws MIDletStateChangeException {
    m.startApp();
  }

  public static void destroy(MIDlet m) throws MIDletStateChangeException {
    m.destroyApp(true);
  }
}
