package javax.microedition.lcdui;
public class AlertType {
  public static final AlertType ALARM = null;
  public static final AlertType CONFIRMATION = null;
  public static final AlertType ERROR = null;
  public static final AlertType INFO = null;
  public static final AlertType WARNING = null;
  protected AlertType() {}
  public native boolean playSound(Display display);
}
